#include "app/ConfigurationGate.h"
#include "app/PasswordEncoding.h"
#include "app/gui/ConfigurationCommand.h"
#include "app/gui/ConfigurationSheet.h"
#include "app/gui/LeftView.h"
#include "app/gui/Login.h"
#include "app/gui/MainFrame.h"
#include "app/OrvaneDoc.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>

namespace {

struct GateCase {
    const char* what;
    std::optional<std::string> stored; // nothing: no Password key
    std::deque<std::optional<std::string>> entries; // nothing: Cancel in the prompt
    std::deque<bool> retries;
    bool opens;
    int prompts;
};

TEST(ConfigurationGate, OpensOnTheMarkerOrTheStoredPassword)
{
    const std::string abc = "616263";
    const GateCase cases[] = {
        {"marker", encodePassword(kSecurityDisabledMarker) + " \t", {}, {}, true, 0},
        {"right password", abc, {"abc"}, {}, true, 1},
        {"trailing blanks of the entry", abc, {"abc  \t"}, {}, true, 1},
        {"leading blank of the entry", abc, {" abc"}, {false}, false, 1},
        {"letter case", abc, {"ABC"}, {false}, false, 1},
        {"wrong, retry, right", abc, {"abd", "abc"}, {true}, true, 2},
        {"cancel in the prompt", abc, {std::nullopt}, {}, false, 1},
        {"nothing stored", std::nullopt, {"", "x"}, {true, false}, false, 2},
        {"odd length", "61626", {""}, {false}, false, 1},
        {"lower-case digit", "61626a", {"abj"}, {false}, false, 1},
        {"first pair 00", "006162", {"ab"}, {false}, false, 1},
    };
    for (const auto& c : cases) {
        TempDir dir;
        platform::SettingsStore store(dir.write("orvane.conf", "[Settings]\n"));
        if (c.stored) {
            ASSERT_TRUE(store.write("Password", *c.stored)) << c.what;
        }
        auto entries = c.entries;
        auto retries = c.retries;
        int prompts = 0;
        ConfigurationGatePrompts gate;
        gate.askPassword = [&]() -> std::optional<std::string> {
            ++prompts;
            if (entries.empty())
                return std::nullopt;
            auto entry = entries.front();
            entries.pop_front();
            return entry;
        };
        gate.askRetry = [&] {
            if (retries.empty())
                return false;
            const bool retry = retries.front();
            retries.pop_front();
            return retry;
        };
        EXPECT_EQ(passConfigurationGate(store, gate), c.opens) << c.what;
        EXPECT_EQ(prompts, c.prompts) << c.what;
        EXPECT_TRUE(retries.empty()) << c.what;
    }
}

// Answers the modal windows the gate shows, one step per window, as they come.
class ModalScript {
public:
    using Step = std::function<void(QWidget*)>;
    explicit ModalScript(std::deque<Step> steps) : steps_(std::move(steps))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(10);
    }
    bool done() const { return steps_.empty(); }

private:
    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == last_)
            return;
        last_ = modal;
        if (steps_.empty()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            return;
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(modal);
    }

    std::deque<Step> steps_;
    QTimer timer_;
    QWidget* last_ = nullptr;
};

ModalScript::Step typePassword(const QString& text)
{
    return [text](QWidget* modal) {
        auto* login = qobject_cast<Login*>(modal);
        ASSERT_NE(login, nullptr);
        login->edit()->setText(text);
        login->okButton()->click();
    };
}

ModalScript::Step answerErroneous(QMessageBox::StandardButton button)
{
    return [button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "Configuration password erroneous.");
        EXPECT_EQ(box->windowTitle(), "Password erroneous");
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Retry | QMessageBox::Cancel);
        box->button(button)->click();
    };
}

TEST(ConfigurationGate, AsksThroughLoginAndTheErroneousPasswordBox)
{
    TempDir dir;
    platform::SettingsStore store(dir.write("orvane.conf", "[Settings]\nPassword=" + encodePassword("Sesame") + "\n"));
    {
        ModalScript script({typePassword("sesame"), answerErroneous(QMessageBox::Retry), typePassword("Sesame  ")});
        EXPECT_TRUE(passConfigurationGate(store, loginPrompts(nullptr)));
        EXPECT_TRUE(script.done());
    }
    {
        ModalScript script({typePassword("wrong"), answerErroneous(QMessageBox::Cancel)});
        EXPECT_FALSE(passConfigurationGate(store, loginPrompts(nullptr)));
        EXPECT_TRUE(script.done());
    }
}

// The configuration command opens the sheet only while no download runs, and the
// document reloads after the sheet closes, even by Cancel.
TEST(ConfigurationCommand, RefusedWhileBusyAndReloadsAfterTheSheet)
{
    TempDir dir;
    dir.write("terminals/Halvorin/HX200.app", "[MODEL]\nCODE=HX200\n");
    platform::SettingsStore store(dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.file("terminals")
                                                               + "\nPassword=" + encodePassword(kSecurityDisabledMarker)
                                                               + "\n"));
    OrvaneDoc document(store);
    MainFrame frame(document);
    ASSERT_TRUE(frame.reloadDocument());
    auto families = [&] {
        const QTreeWidgetItem* root = frame.leftView()->topLevelItem(0);
        return root != nullptr ? root->childCount() : -1;
    };
    ASSERT_EQ(families(), 1);
    dir.write("terminals/Veltrano/VC1.app", "[MODEL]\nCODE=VC1\n");

    bool sheetShown = false;
    auto cancelSheet = [&](QWidget* modal) {
        auto* sheet = qobject_cast<ConfigurationSheet*>(modal);
        ASSERT_NE(sheet, nullptr);
        sheetShown = true;
        sheet->reject();
    };
    {
        document.setBusy(true);
        ModalScript script({cancelSheet});
        frame.configurationAction()->trigger();
        document.setBusy(false);
        EXPECT_FALSE(sheetShown);
    }
    ModalScript script({cancelSheet});
    frame.configurationAction()->trigger();
    EXPECT_TRUE(sheetShown);
    QElapsedTimer waited;
    waited.start();
    while (families() != 2 && waited.elapsed() < 5000)
        QApplication::processEvents();
    EXPECT_EQ(families(), 2) << "the reload follows the closing of the sheet";
}

} // namespace
