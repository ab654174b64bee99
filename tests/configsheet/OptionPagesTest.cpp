#include "configsheet/SheetFixture.h"

#include "app/PasswordEncoding.h"
#include "app/gui/DataLogPage.h"
#include "app/gui/SecurityPage.h"
#include "app/gui/SigningToolPage.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Sheet = ConfigurationSheet;

TEST_F(SheetFixture, SigningByFileNeedsAReadableKeyAndAKeyNumber)
{
    storeValidSettings();
    store.writeInt("FirmadorRadio", 2);
    openSheet();
    auto& signing = page<SigningToolPage>(Sheet::SigningTool);
    signing.keyFileEdit()->setText(QString::fromStdString(dir.file("missing.key")));
    EXPECT_FALSE(signing.validate());
    EXPECT_EQ(operatorAnswers.takeCaption(), "File not found");
    EXPECT_EQ(signing.lastFocused(), signing.keyFileEdit());
    signing.keyFileEdit()->setText(QString::fromStdString(dir.write("a.key", "k")));
    EXPECT_FALSE(signing.validate());
    EXPECT_EQ(operatorAnswers.takeCaption(), "Empty Key");
    EXPECT_EQ(signing.lastFocused(), signing.keyNumberEdit());
    signing.keyNumberEdit()->setText("07");
    EXPECT_TRUE(signing.validate());
}

TEST_F(SheetFixture, DataLogPathMustBeUsable)
{
    storeValidSettings();
    store.writeInt("RegistroRadio", 1);
    const std::string readOnly = dir.write("read-only.log", "old");
    ::chmod(readOnly.c_str(), 0444);
    Sheet& sheet = openSheet();
    ASSERT_TRUE(sheet.showPage(Sheet::DataLog));
    auto& log = page<DataLogPage>(Sheet::DataLog);
    EXPECT_TRUE(log.pathEdit()->isEnabled());
    EXPECT_EQ(log.viewButton()->text(), "View file ");

    struct Case {
        std::string path;
        const char* caption;
    };
    std::vector<Case> cases = {
        {"  ", "Log file field is empty"},
        {dir.file("missing/load.log"), "Error in the file creation"},
        {dir.file("load.log"), ""},
    };
    if (::geteuid() != 0)
        cases.push_back({readOnly, "Access refused"});
    for (const auto& c : cases) {
        log.pathEdit()->setText(QString::fromStdString(c.path));
        EXPECT_EQ(log.validate(), *c.caption == '\0') << c.path;
        EXPECT_EQ(operatorAnswers.takeCaption(), c.caption) << c.path;
        if (*c.caption != '\0') {
            EXPECT_EQ(log.lastFocused(), log.pathEdit()) << c.path;
        }
    }

    log.options()->button(0)->click();
    EXPECT_FALSE(log.pathEdit()->isEnabled());
    EXPECT_FALSE(log.clearButton()->isEnabled());
    EXPECT_TRUE(log.validate()) << "nothing is checked while the log is disabled";
}

TEST_F(SheetFixture, ClearEmptiesTheLogOrSaysItCannot)
{
    storeValidSettings();
    store.writeInt("RegistroRadio", 1);
    const std::string path = dir.write("load.log", "COM1: line\n");
    store.write("Registro", path);
    Sheet& sheet = openSheet();
    ASSERT_TRUE(sheet.showPage(Sheet::DataLog));
    auto& log = page<DataLogPage>(Sheet::DataLog);
    QTest::mouseClick(log.clearButton(), Qt::LeftButton);
    EXPECT_EQ(readWholeFile(path), "");
    EXPECT_EQ(operatorAnswers.takeCaption(), "");

    log.pathEdit()->setText(QString::fromStdString(dir.file("missing/load.log")));
    log.clearLog();
    ASSERT_EQ(operatorAnswers.boxes.size(), 1u);
    EXPECT_EQ(operatorAnswers.boxes[0].text, "Error when clearing log file.");
    EXPECT_EQ(operatorAnswers.takeCaption(), "Error when clearing file");
}

TEST_F(SheetFixture, SecurityDisabledStoresTheMarkerAndReopensDisabled)
{
    storeValidSettings();
    store.write("Password", encodePassword("Sesame"));
    {
        Sheet& sheet = openSheet();
        auto& security = page<SecurityPage>(Sheet::Security);
        EXPECT_EQ(security.options()->checkedId(), 1);
        EXPECT_EQ(security.passwordEdit()->text(), "Sesame");
        EXPECT_EQ(security.passwordEdit()->echoMode(), QLineEdit::Password);
        EXPECT_EQ(security.passwordEdit()->maxLength(), 16);
        security.options()->button(0)->click();
        EXPECT_FALSE(security.passwordEdit()->isEnabled());
        QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
        ASSERT_EQ(sheet.result(), QDialog::Accepted);
    }
    EXPECT_EQ(storedValue("Password"), encodePassword(kSecurityDisabledMarker));
    openSheet();
    auto& security = page<SecurityPage>(Sheet::Security);
    EXPECT_EQ(security.options()->checkedId(), 0);
    EXPECT_EQ(security.passwordEdit()->text(), "");
    EXPECT_EQ(security.repeatEdit()->text(), "");
}

TEST_F(SheetFixture, SecurityPasswordsMustMatch)
{
    storeValidSettings();
    Sheet& sheet = openSheet();
    auto& security = page<SecurityPage>(Sheet::Security);
    security.options()->button(1)->click();
    EXPECT_FALSE(security.validate());
    EXPECT_EQ(operatorAnswers.takeCaption(), "Empty password");
    EXPECT_EQ(security.lastFocused(), security.passwordEdit());

    security.passwordEdit()->setText("Sesame");
    security.repeatEdit()->setText("sesame");
    EXPECT_FALSE(security.validate());
    EXPECT_EQ(operatorAnswers.takeCaption(), "Passwords don't match");
    EXPECT_EQ(security.passwordEdit()->text(), "");
    EXPECT_EQ(security.repeatEdit()->text(), "");

    security.passwordEdit()->setText("Sesame ");
    security.repeatEdit()->setText("Sesame ");
    ASSERT_TRUE(sheet.showPage(Sheet::Security));
    QTest::mouseClick(sheet.okButton(), Qt::LeftButton);
    ASSERT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(storedValue("Password"), encodePassword("Sesame"));
}

} // namespace
