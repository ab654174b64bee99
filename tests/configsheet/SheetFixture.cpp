#include "configsheet/SheetFixture.h"

#include "app/gui/StationText.h"

#include <QApplication>

void ScriptedOperator::tell(QWidget* page, const QString& text, const QString& caption)
{
    boxes.push_back({toStationText(text), toStationText(caption), false, page && page->isVisible()});
}

bool ScriptedOperator::ask(QWidget* page, const QString& text, const QString& caption)
{
    boxes.push_back({toStationText(text), toStationText(caption), true, page && page->isVisible()});
    if (answers.empty())
        return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

std::string ScriptedOperator::takeCaption()
{
    if (boxes.empty())
        return {};
    std::string caption = boxes.back().caption;
    boxes.clear();
    return caption;
}

SheetFixture::SheetFixture()
    : settingsPath(dir.file("orvane.conf")), store(settingsPath), context(store, operatorAnswers)
{
    // No device of the machine is offered, and the checks that need a server or a
    // database answer as the test says.
    context.serialDevices = [] { return std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB0"}; };
    context.testReaderNetwork = [](const std::string&, int) {
        return BarcodeReader::ReaderNetworkVerdict{BarcodeReader::ReaderNetworkVerdict::Outcome::Passed, {}, {}, {}};
    };
    context.proveDataSource = [this](const std::string& name) {
        provedDataSource = name;
        return name == "stock";
    };
    context.proveChosenDataSource = [](const std::string& chosen, std::string& name) {
        if (chosen != "DSN=stock;UID=station")
            return false;
        name = "stock";
        return true;
    };
}

SheetFixture::~SheetFixture()
{
    sheet_.reset();
}

void SheetFixture::storeSettings(const std::string& lines)
{
    writeWholeFile(settingsPath, "[Settings]\n" + lines);
}

void SheetFixture::storeValidSettings()
{
    const std::string terminals = dir.mkdir("terminals"), applications = dir.mkdir("applications");
    storeSettings("Manufacturer=ACME\nPuertos=/dev/ttyUSB7\nDirEqui=" + terminals + "\nDirAplic=" + applications
                  + "\nProximoNS=0000001000\nSaltoNS=1\nProximoMAC=00A0B1C2D3E4\nSaltoMAC=1\n"
                    "ProximoIP=3232235777\nSaltoIP=1\nNetMask=4294967040\nPassword="
                  + "436F726D6F72616E74696C6465\n");
}

ConfigurationSheet& SheetFixture::openSheet()
{
    sheet_ = std::make_unique<ConfigurationSheet>(context);
    sheet_->show();
    QApplication::processEvents();
    return *sheet_;
}

std::optional<std::string> SheetFixture::storedValue(const std::string& key)
{
    platform::SettingsStore reader(settingsPath);
    return reader.read(key);
}
