#include "configsheet/SheetFixture.h"

#include "app/gui/GeneralPage.h"
#include "app/gui/ReadingPage.h"
#include "app/gui/SigningToolPage.h"
#include "support/PtyPair.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace {

using Sheet = ConfigurationSheet;
using Verdict = BarcodeReader::ReaderNetworkVerdict;

QStringList listed(const QListWidget* list)
{
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
        entries << list->item(row)->text();
    return entries;
}

TEST_F(SheetFixture, PortListLoadsTrimmedPiecesAndSavesThemJoined)
{
    storeValidSettings();
    store.write("Puertos", " /dev/ttyS0 ,,/dev/ttyS1");
    Sheet& sheet = openSheet();
    auto& general = page<GeneralPage>(Sheet::General);
    EXPECT_EQ(listed(general.portList()), (QStringList{" /dev/ttyS0", "/dev/ttyS1"}));
    EXPECT_EQ(general.portList()->currentRow(), 0);
    QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
    EXPECT_EQ(storedValue("Puertos"), " /dev/ttyS0,/dev/ttyS1");
}

TEST_F(SheetFixture, AddingAPortChecksDuplicatesConflictsAndTheDevice)
{
    storeValidSettings();
    store.write("Puertos", "/dev/ttyUSB7");
    store.writeInt("LecturaRadio", 1);
    store.write("LecturaPuerto", "/dev/ttyS3");
    openSheet();
    auto& general = page<GeneralPage>(Sheet::General);

    general.portBox()->setEditText("/dev/TTYUSB7");
    general.addPort();
    EXPECT_EQ(operatorAnswers.beeps, 1) << "a port differing only in letter case is already listed";
    EXPECT_EQ(general.portList()->count(), 1);

    general.portBox()->setEditText("/dev/ttyS3  ");
    general.addPort();
    EXPECT_EQ(operatorAnswers.takeCaption(), "Port in use");
    EXPECT_EQ(general.portBox()->currentText(), "/dev/ttyS3  ") << "the text stays for correction";
    EXPECT_EQ(general.portList()->count(), 1);

    general.portBox()->setEditText("/dev/orvane-missing");
    operatorAnswers.answers = {false};
    general.addPort();
    ASSERT_EQ(operatorAnswers.boxes.size(), 1u);
    EXPECT_EQ(operatorAnswers.boxes[0].text, "Error opening port: No such file or directory\nAdd anyway?");
    EXPECT_EQ(operatorAnswers.takeCaption(), "Error abriendo el puerto");
    EXPECT_EQ(general.portList()->count(), 1);
    EXPECT_EQ(general.lastFocused(), general.portBox());
    EXPECT_FALSE(general.modified());

    PtyPair pty;
    general.portBox()->setEditText(QString::fromStdString(pty.slavePath()));
    operatorAnswers.answers = {true};
    general.addPort();
    EXPECT_EQ(operatorAnswers.takeCaption(), "Is not a serial port");
    EXPECT_EQ(listed(general.portList()), (QStringList{"/dev/ttyUSB7", QString::fromStdString(pty.slavePath())}));
    EXPECT_EQ(general.portList()->currentRow(), 1);
    EXPECT_EQ(general.portBox()->currentText(), "");
    EXPECT_TRUE(general.modified());
}

TEST_F(SheetFixture, EnterInThePortDropDownAddsAndInTheListDeletes)
{
    storeValidSettings();
    store.write("Puertos", "/dev/a,/dev/b,/dev/c");
    context.checkPort = [](std::string_view) { return SerialPortVerdict{SerialPortVerdict::Outcome::Accept, {}, {}}; };
    Sheet& sheet = openSheet();
    auto& general = page<GeneralPage>(Sheet::General);
    // The key goes where the operator's keyboard sends it: to the widget with the focus.
    sheet.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    general.portBox()->setFocus();
    general.portBox()->setEditText("/dev/d");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(general.portList()->count(), 4);
    EXPECT_TRUE(sheet.isVisible()) << "Enter in the drop-down adds; it does not confirm the sheet";
    EXPECT_TRUE(operatorAnswers.boxes.empty());

    general.portList()->setCurrentRow(1);
    QTest::keyClick(general.portList(), Qt::Key_Return);
    EXPECT_EQ(listed(general.portList()), (QStringList{"/dev/a", "/dev/c", "/dev/d"}));
    EXPECT_EQ(general.portList()->currentRow(), 1) << "the entry now at the same place is selected";
    general.portList()->setCurrentRow(2);
    general.deletePort();
    EXPECT_EQ(general.portList()->currentRow(), 1) << "after the last entry the new last one is selected";
    general.portList()->clearSelection();
    general.portList()->setCurrentRow(-1);
    general.deletePort();
    EXPECT_EQ(operatorAnswers.beeps, 1);
    EXPECT_EQ(general.portList()->count(), 2);
}

TEST_F(SheetFixture, GeneralChecksFocusTheirFields)
{
    storeValidSettings();
    Sheet& sheet = openSheet();
    auto& general = page<GeneralPage>(Sheet::General);
    general.portBox()->setEditText("/dev/ttyS9");
    EXPECT_FALSE(general.validate());
    EXPECT_EQ(operatorAnswers.takeCaption(), "Add a port?");
    EXPECT_EQ(general.lastFocused(), general.portBox());
    general.portBox()->setEditText("");
    general.applicationsEdit()->setText(QString::fromStdString(dir.file("nowhere")));
    EXPECT_FALSE(sheet.showPage(Sheet::SerialNumber));
    EXPECT_EQ(operatorAnswers.takeCaption(), "Invalid file");
    EXPECT_EQ(general.lastFocused(), general.applicationsEdit());
}

TEST_F(SheetFixture, ReaderAndSignerPortsConflictWithTheDownloadPortsOnly)
{
    storeValidSettings();
    store.write("Puertos", "/dev/ttyUSB7");
    context.checkPort = [this](std::string_view port) {
        checkedPorts.emplace_back(port);
        return SerialPortVerdict{SerialPortVerdict::Outcome::Accept, {}, {}};
    };
    openSheet();
    auto& reading = page<ReadingPage>(Sheet::Reading);
    auto& signing = page<SigningToolPage>(Sheet::SigningTool);

    reading.options()->button(1)->click();
    reading.portBox()->setEditText("/dev/TTYusb7");
    EXPECT_FALSE(reading.validate()) << "the download port list matches in any letter case";
    EXPECT_EQ(operatorAnswers.takeCaption(), "Port in use");
    EXPECT_EQ(reading.lastFocused(), reading.portBox());

    reading.portBox()->setEditText("/dev/ttyS1");
    signing.options()->button(1)->click();
    signing.portBox()->setEditText("/dev/TTYS1");
    EXPECT_TRUE(signing.validate()) << "reader and signer ports compare with letter case";
    EXPECT_TRUE(reading.validate());
    EXPECT_EQ(checkedPorts, (std::vector<std::string>{"/dev/TTYS1", "/dev/ttyS1"}));

    signing.portBox()->setEditText("/dev/ttyS1");
    EXPECT_FALSE(signing.validate());
    EXPECT_EQ(operatorAnswers.takeCaption(), "Port in use");
    signing.options()->button(0)->click();
    EXPECT_TRUE(reading.validate()) << "a signer not on its serial port holds no port";
}

TEST_F(SheetFixture, SerialPortCheckRefusalKeepsTheReaderPage)
{
    storeValidSettings();
    context.checkPort = [](std::string_view) {
        return SerialPortVerdict{SerialPortVerdict::Outcome::Refuse, "Serial port unavailable.",
                                 "Error del Puerto de Comunicaciones"};
    };
    openSheet();
    auto& reading = page<ReadingPage>(Sheet::Reading);
    reading.options()->button(1)->click();
    reading.portBox()->setEditText("/dev/null");
    EXPECT_FALSE(reading.validate());
    EXPECT_EQ(operatorAnswers.takeCaption(), "Error del Puerto de Comunicaciones");
    EXPECT_EQ(reading.lastFocused(), reading.portBox());
}

TEST_F(SheetFixture, ReaderNetworkTestDecidesAndFocuses)
{
    struct Case {
        const char* what;
        Verdict verdict;
        std::deque<bool> answers;
        bool accepted;
        const char* caption;
        bool focusOnServer;
    };
    using O = Verdict::Outcome;
    using F = Verdict::Field;
    const Case cases[] = {
        {"passed", {O::Passed, "", "", F::None}, {}, true, "", false},
        {"unknown server", {O::Failed, "Unknown the IP address of the server.", "Server unknown", F::Server}, {},
         false, "Server unknown", true},
        {"network error", {O::Failed, "Error in the RS485 network when the specified Reader N\xBA is addressed.",
                           "Error in the RS485 network", F::ReaderNumber}, {}, false, "Error in the RS485 network",
         false},
        {"absent, accepted", {O::AskAcceptAbsent, "The Reader N\xBA cannot be acesses. Accept anyway?",
                              "Reader not found", F::ReaderNumber}, {true}, true, "Reader not found", false},
        {"absent, cancelled", {O::AskAcceptAbsent, "The Reader N\xBA cannot be acesses. Accept anyway?",
                               "Reader not found", F::ReaderNumber}, {false}, false, "Reader not found", false},
    };
    storeValidSettings();
    store.writeInt("LecturaRadio", 2);
    store.write("LecturaServidor", "readers.plant  ");
    store.writeInt("LecturaNumLector", 17);
    openSheet();
    auto& reading = page<ReadingPage>(Sheet::Reading);
    for (const auto& c : cases) {
        std::string askedServer;
        int askedNumber = -1;
        context.testReaderNetwork = [&](const std::string& server, int number) {
            askedServer = server;
            askedNumber = number;
            return c.verdict;
        };
        operatorAnswers.answers = c.answers;
        EXPECT_EQ(reading.validate(), c.accepted) << c.what;
        EXPECT_EQ(askedServer, "readers.plant") << c.what;
        EXPECT_EQ(askedNumber, 17) << c.what;
        EXPECT_EQ(operatorAnswers.takeCaption(), c.caption) << c.what;
        if (!c.accepted) {
            EXPECT_EQ(reading.lastFocused(), c.focusOnServer ? static_cast<QWidget*>(reading.serverEdit())
                                                             : reading.readerNumberEdit())
                << c.what;
        }
    }
}

TEST_F(SheetFixture, ReadingOptionsEnableTheirFields)
{
    storeValidSettings();
    store.writeInt("LecturaRadio", 2);
    openSheet();
    auto& reading = page<ReadingPage>(Sheet::Reading);
    EXPECT_FALSE(reading.portBox()->isEnabled());
    EXPECT_TRUE(reading.serverEdit()->isEnabled());
    EXPECT_TRUE(reading.readerNumberEdit()->isEnabled());
    reading.options()->button(1)->click();
    EXPECT_TRUE(reading.portBox()->isEnabled());
    EXPECT_FALSE(reading.serverEdit()->isEnabled());
    EXPECT_TRUE(reading.modified());
    auto& signing = page<SigningToolPage>(Sheet::SigningTool);
    signing.options()->button(2)->click();
    EXPECT_FALSE(signing.portBox()->isEnabled());
    EXPECT_TRUE(signing.keyFileEdit()->isEnabled());
    EXPECT_TRUE(signing.browseButton()->isEnabled());
    EXPECT_TRUE(signing.keyNumberEdit()->isEnabled());
    EXPECT_EQ(signing.keyNumberEdit()->maxLength(), 2);
}

} // namespace
