#include "configsheet/SheetFixture.h"

#include "app/gui/DataLogPage.h"
#include "app/gui/DatesPage.h"
#include "app/gui/GeneralPage.h"
#include "app/gui/SerialNumberPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <sys/stat.h>

namespace {

using Sheet = ConfigurationSheet;

TEST_F(SheetFixture, SheetShowsNinePagesInOrderAndCreatesTwoOfThemLate)
{
    storeValidSettings();
    Sheet& sheet = openSheet();
    EXPECT_EQ(sheet.windowTitle(), "Configuration");
    const QStringList titles{"General", "Serial Number", "MAC Address", "IP Address", "Dates",
                             "Reading", "Signing Tool",  "Data Log",    "Security"};
    ASSERT_EQ(sheet.tabs()->count(), titles.size());
    for (int index = 0; index < titles.size(); ++index) {
        EXPECT_EQ(sheet.tabs()->tabText(index), titles[index]);
        const bool late = index == Sheet::Dates || index == Sheet::DataLog;
        EXPECT_EQ(sheet.page(index) == nullptr, late) << titles[index].toStdString();
    }
    EXPECT_EQ(sheet.okButton()->text().remove('&'), "OK");
    EXPECT_EQ(sheet.cancelButton()->text().remove('&'), "Cancel");
    EXPECT_EQ(sheet.applyButton()->text().remove('&'), "Apply");

    for (int index : {int(Sheet::Dates), int(Sheet::DataLog)}) {
        ASSERT_TRUE(sheet.showPage(index)) << titles[index].toStdString();
        EXPECT_NE(sheet.page(index), nullptr);
    }
}

TEST_F(SheetFixture, ApplyFollowsTheModifiedFlagAndSavesEveryCreatedPage)
{
    storeValidSettings();
    Sheet& sheet = openSheet();
    EXPECT_FALSE(sheet.applyButton()->isEnabled()) << "loading marks nothing modified";

    auto& general = page<GeneralPage>(Sheet::General);
    general.manufacturerEdit()->setFocus();
    QTest::keyClick(general.manufacturerEdit(), Qt::Key_End);
    QTest::keyClick(general.manufacturerEdit(), Qt::Key_Backspace);
    EXPECT_TRUE(sheet.applyButton()->isEnabled());

    QTest::mouseClick(sheet.applyButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet.applyButton()->isEnabled());
    EXPECT_EQ(storedValue("Manufacturer"), "ACM");
    // Pages are saved whether changed or not: keys missing before are written now.
    EXPECT_EQ(storedValue("AccionSerie"), "0");
    EXPECT_EQ(storedValue("LecturaRadio"), "0");
    EXPECT_EQ(storedValue("FirmadorRadio"), "0");
    EXPECT_FALSE(storedValue("RegistroRadio")) << "Data Log was never shown";
    EXPECT_FALSE(storedValue("AccionFInstalacion")) << "Dates was never shown";
}

TEST_F(SheetFixture, CancelWritesNothing)
{
    storeValidSettings();
    const std::string before = readWholeFile(settingsPath);
    Sheet& sheet = openSheet();
    page<GeneralPage>(Sheet::General).manufacturerEdit()->setText("OTHER");
    QTest::mouseClick(sheet.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
    EXPECT_EQ(readWholeFile(settingsPath), before);
}

TEST_F(SheetFixture, LeavingOrConfirmingAnInvalidPageKeepsItOpen)
{
    storeValidSettings();
    store.write("ProximoNS", "12345");
    const std::string before = readWholeFile(settingsPath);
    Sheet& sheet = openSheet();
    ASSERT_TRUE(sheet.showPage(Sheet::SerialNumber));
    EXPECT_FALSE(sheet.showPage(Sheet::MacAddress));
    EXPECT_EQ(sheet.tabs()->currentIndex(), Sheet::SerialNumber);
    ASSERT_EQ(operatorAnswers.boxes.size(), 1u);
    EXPECT_TRUE(operatorAnswers.boxes.front().pageInSight) << "the complaint shows over the page it is about";
    EXPECT_EQ(operatorAnswers.takeCaption(), "Wrong length");
    auto& serial = page<SerialNumberPage>(Sheet::SerialNumber);
    EXPECT_EQ(serial.lastFocused(), serial.nextEdit());

    QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(operatorAnswers.takeCaption(), "Wrong length");
    EXPECT_EQ(readWholeFile(settingsPath), before);

    serial.nextEdit()->setText("0000002000");
    QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(storedValue("ProximoNS"), "0000002000");
}

TEST_F(SheetFixture, LatePagesLoadWhenFirstShownAndSaveAfterwards)
{
    storeValidSettings();
    store.writeInt("AccionFBaterias", 2);
    store.writeInt("RegistroRadio", 1);
    store.write("Registro", dir.file("load.log"));
    store.writeInt("RegistroNivel", 3);
    Sheet& sheet = openSheet();
    ASSERT_TRUE(sheet.showPage(Sheet::Dates));
    auto& dates = page<DatesPage>(Sheet::Dates);
    EXPECT_EQ(dates.batteriesBox()->currentText(), "To preserve or to assign if new");
    dates.manufacturingBox()->setCurrentIndex(3);
    ASSERT_TRUE(sheet.showPage(Sheet::DataLog));
    auto& log = page<DataLogPage>(Sheet::DataLog);
    EXPECT_EQ(log.levels()->checkedId(), 3);
    QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
    ASSERT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(storedValue("AccionFFabricacion"), "3");
    EXPECT_EQ(storedValue("AccionFBaterias"), "2");
    EXPECT_EQ(storedValue("RegistroNivel"), "3");
}

TEST_F(SheetFixture, SettingsThatCannotBeWrittenKeepTheSheetOpen)
{
    storeValidSettings();
    Sheet& sheet = openSheet();
    // The settings file's directory disappears under the sheet: nothing can be written.
    const std::string moved = settingsPath + ".d";
    ASSERT_EQ(::mkdir(moved.c_str(), 0700), 0);
    ASSERT_EQ(::rename(settingsPath.c_str(), (moved + "/x").c_str()), 0);
    ASSERT_EQ(::rename(moved.c_str(), settingsPath.c_str()), 0); // the file's path is now a directory
    QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(operatorAnswers.takeCaption(), "Configuration");
}

} // namespace
