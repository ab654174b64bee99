#pragma once
// A configuration sheet on a settings file of its own, with an operator who answers
// every question as the test scripted it and whose every message is recorded.
#include "app/gui/ConfigurationContext.h"
#include "app/gui/ConfigurationMessages.h"
#include "app/gui/ConfigurationSheet.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPushButton>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

class ScriptedOperator : public ConfigurationMessages {
public:
    struct Box {
        std::string text;
        std::string caption;
        bool question = false;
        bool pageInSight = false; // the page that spoke was the one shown
    };

    void tell(QWidget* page, const QString& text, const QString& caption) override;
    bool ask(QWidget* page, const QString& text, const QString& caption) override;
    void beep() override { ++beeps; }

    // The caption of the last box, "" when none was shown since the last call.
    std::string takeCaption();

    std::vector<Box> boxes;
    std::deque<bool> answers; // for questions; OK when none is left
    int beeps = 0;
};

class SheetFixture : public ::testing::Test {
protected:
    SheetFixture();
    ~SheetFixture() override;

    // Writes the settings file's [Settings] lines.
    void storeSettings(const std::string& lines);
    // Settings every page accepts; tests change single keys after it with store.write.
    void storeValidSettings();
    // Opens the sheet on the settings stored now.
    ConfigurationSheet& openSheet();
    template <typename Page>
    Page& page(int index)
    {
        Page* page = sheet_->pageAs<Page>(index);
        if (page == nullptr)
            throw std::runtime_error("page not created");
        return *page;
    }
    // A fresh store on the same file, as another reader of the settings sees them.
    std::optional<std::string> storedValue(const std::string& key);

    TempDir dir;
    std::string settingsPath;
    platform::SettingsStore store;
    ScriptedOperator operatorAnswers;
    ConfigurationContext context;
    std::vector<std::string> checkedPorts;
    std::string provedDataSource;

private:
    std::unique_ptr<ConfigurationSheet> sheet_;
};
