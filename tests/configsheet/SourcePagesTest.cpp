#include "configsheet/SheetFixture.h"

#include "app/gui/IpAddressPage.h"
#include "app/gui/Ipv4AddressField.h"
#include "app/gui/MacAddressPage.h"
#include "app/gui/SerialNumberPage.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using Sheet = ConfigurationSheet;

TEST_F(SheetFixture, SerialNumberPageChecksTheNextNumberUnderSequentially)
{
    struct Case {
        const char* next;
        const char* step;
        int option;
        const char* caption;
        bool focusNext;
    };
    const Case cases[] = {
        {"1234567890123", "1", 0, "Wrong length", true},
        {"123456789", "1", 0, "Wrong length", true},
        {"12345678A0", "1", 0, "Serial Number not numeric", true},
        {"123456789012", "99", 0, "", false},
        {"12", "1", 1, "", false},
        {"1234567890", "0", 0, "orvane", false},
    };
    storeValidSettings();
    openSheet();
    auto& serial = page<SerialNumberPage>(Sheet::SerialNumber);
    for (const auto& c : cases) {
        serial.options()->button(c.option)->click();
        serial.nextEdit()->setText(c.next);
        serial.stepEdit()->setText(c.step);
        EXPECT_EQ(serial.validate(), *c.caption == '\0') << c.next;
        EXPECT_EQ(operatorAnswers.takeCaption(), c.caption) << c.next;
        if (c.focusNext) {
            EXPECT_EQ(serial.lastFocused(), serial.nextEdit()) << c.next;
        }
    }
    EXPECT_EQ(serial.lastFocused(), serial.stepEdit());
}

TEST_F(SheetFixture, SerialNumberByReadingLoadsAStepOfZeroAsOne)
{
    storeValidSettings();
    store.writeInt("NumeroSerieRadio", 1);
    store.writeInt("SaltoNS", 0);
    store.write("ProximoNS", "bad");
    Sheet& sheet = openSheet();
    auto& serial = page<SerialNumberPage>(Sheet::SerialNumber);
    EXPECT_EQ(serial.stepEdit()->text(), "1");
    EXPECT_FALSE(serial.nextEdit()->isEnabled());
    EXPECT_FALSE(serial.stepEdit()->isEnabled());
    ASSERT_TRUE(sheet.showPage(Sheet::SerialNumber));
    EXPECT_TRUE(sheet.showPage(Sheet::MacAddress)) << "no serial number check runs by reading";
}

TEST_F(SheetFixture, MacAddressPageChecksBySource)
{
    struct Case {
        int option;
        const char* next;
        const char* dataSource;
        const char* caption;
    };
    const Case cases[] = {
        {0, "00a0B1c2D3eF", "", ""},
        {0, "00a0b1c2d3eg", "", "MAC field not hexadecimal"},
        {0, "00a0b1c2d3", "", "Wrong length"},
        {1, "", " ", "DSN not defined"},
        {1, "", "nowhere", "Incorrect link"},
        {1, "", "stock ", ""},
        {2, "zz", "", ""},
    };
    storeValidSettings();
    openSheet();
    auto& mac = page<MacAddressPage>(Sheet::MacAddress);
    for (const auto& c : cases) {
        mac.options()->button(c.option)->click();
        mac.nextEdit()->setText(c.next);
        mac.dataSourceEdit()->setText(c.dataSource);
        EXPECT_EQ(mac.validate(), *c.caption == '\0') << c.next << c.dataSource;
        EXPECT_EQ(operatorAnswers.takeCaption(), c.caption) << c.next << c.dataSource;
    }
    EXPECT_EQ(provedDataSource, "stock");
    mac.options()->button(1)->click();
    EXPECT_TRUE(mac.dataSourceEdit()->isEnabled());
    EXPECT_TRUE(mac.browseButton()->isEnabled());
    EXPECT_FALSE(mac.nextEdit()->isEnabled());
}

TEST_F(SheetFixture, MacAddressChooserKeepsTheProvedDataSourceName)
{
    storeValidSettings();
    store.writeInt("DireccionMACRadio", 1);
    store.write("DSN", "stock");
    Sheet& sheet = openSheet();
    auto& mac = page<MacAddressPage>(Sheet::MacAddress);
    EXPECT_FALSE(mac.takeChosenDataSource("DSN=other"));
    EXPECT_EQ(operatorAnswers.takeCaption(), "Incorrect link");
    EXPECT_EQ(mac.lastFocused(), mac.dataSourceEdit());
    EXPECT_EQ(mac.dataSourceEdit()->text(), "stock");

    mac.dataSourceEdit()->clear();
    EXPECT_TRUE(mac.takeChosenDataSource("DSN=stock;UID=station"));
    EXPECT_EQ(mac.dataSourceEdit()->text(), "stock");
    EXPECT_TRUE(mac.modified());
    QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
    EXPECT_EQ(storedValue("DSN"), "stock");
    EXPECT_EQ(storedValue("DireccionMACRadio"), "1");
}

TEST_F(SheetFixture, IpAddressMaskIsMandatoryUnderEitherOption)
{
    storeValidSettings();
    store.writeInt("DireccionIPRadio", 1);
    store.writeInt("SaltoIP", 0);
    store.writeInt("ProximoIP", 0);
    store.writeInt("NetMask", 0);
    Sheet& sheet = openSheet();
    auto& ip = page<IpAddressPage>(Sheet::IpAddress);
    EXPECT_EQ(ip.stepEdit()->text(), "1");
    EXPECT_FALSE(ip.nextField()->isEnabled());
    EXPECT_FALSE(ip.validate());
    EXPECT_EQ(operatorAnswers.takeCaption(), "IP Mask not entered");
    EXPECT_EQ(ip.lastFocused(), ip.maskField()->box(0));

    ip.options()->button(0)->click();
    ip.maskField()->setAddress(0xFFFF0000);
    EXPECT_FALSE(ip.validate());
    EXPECT_EQ(operatorAnswers.takeCaption(), "IP address not entered");
    EXPECT_EQ(ip.lastFocused(), ip.nextField()->box(0));

    ip.nextField()->setAddress(0x0A000102);
    ASSERT_TRUE(ip.validate());
    QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
    ASSERT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(storedValue("ProximoIP"), "167772418");
    EXPECT_EQ(storedValue("NetMask"), "4294901760");
    EXPECT_EQ(storedValue("DireccionIPRadio"), "0");
}

TEST_F(SheetFixture, UnknownStoredActionIsKeptUnlessChosen)
{
    storeValidSettings();
    store.writeInt("AccionSerie", 9);
    store.writeInt("AccionMAC", 2);
    Sheet& sheet = openSheet();
    auto& serial = page<SerialNumberPage>(Sheet::SerialNumber);
    auto& mac = page<MacAddressPage>(Sheet::MacAddress);
    EXPECT_EQ(serial.actionBox()->currentIndex(), -1);
    EXPECT_EQ(mac.actionBox()->currentText(), "To preserve or to assign if new");
    EXPECT_EQ(mac.actionBox()->itemText(0), "To erase unconditionally");
    EXPECT_EQ(mac.actionBox()->itemText(1), "To preserve or to erase if new");
    EXPECT_EQ(mac.actionBox()->itemText(3), "To assign unconditionally");
    QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
    EXPECT_EQ(storedValue("AccionSerie"), "9");
    EXPECT_EQ(storedValue("AccionMAC"), "2");
}

} // namespace
