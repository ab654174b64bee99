#pragma once
// A station on a temporary workspace: settings file, terminals and applications
// directories, the document, and a progress object that records what a job reports.
#include "app/OrvaneDoc.h"
#include "loader/DownloadJob.h"
#include "loader/Progress.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class RecordingProgress final : public Progress {
public:
    struct Record {
        std::mutex mutex;
        std::vector<std::string> texts;
        int upperBound = 100;
        int position = 0;
        int finishes = 0;
        bool success = false;
        std::atomic<bool> cancel{false};
        std::atomic<bool> throwOnSetPos{false};
        std::string cancelOnText; // a report of this text sets the cancel request
    };

    explicit RecordingProgress(std::shared_ptr<Record> record) : record_(std::move(record)) {}

    bool cancelled() override { return record_->cancel.load(); }
    void setRange(int upperBound) override;
    void setPos(int position) override;
    void step(int amount) override;
    void complete() override;
    void setText(const std::string& text) override;
    void finish(bool success) override;

private:
    std::shared_ptr<Record> record_;
};

class JobFixture {
public:
    JobFixture();

    // Writes terminals/<relative> and makes it the current model.
    void selectModel(const std::string& relative, const std::string& content);
    std::string writeApp(const std::string& name, const std::string& content);
    void set(const std::string& key, const std::string& value);
    // Ticket on, printed on the line at 9600,N,8,1 with the given width (an empty one
    // leaves ImpresionColumnas absent).
    void setPrinter(const std::string& port, const std::string& columns = "40");

    // A job on the port with a fresh recording progress object.
    std::unique_ptr<DownloadJob> makeJob(const std::string& port);
    // Runs a whole job on the calling thread as its loader thread would.
    int runJob(const std::string& port) { return DownloadJob::threadRoutine(makeJob(port)); }

    std::vector<std::string> logLines() const;
    std::vector<std::string> texts();

    TempDir dir;
    platform::SettingsStore settings;
    OrvaneDoc document;
    std::shared_ptr<RecordingProgress::Record> progress = std::make_shared<RecordingProgress::Record>();
};
