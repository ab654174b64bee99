#pragma once
// One download into one terminal on one serial port, run from start to end on a loader
// thread of its own.
#include "comm/CommPort.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class OrvaneDoc;
class Progress;

class DownloadJob {
public:
    DownloadJob(std::string portName, OrvaneDoc& document, std::unique_ptr<Progress> progress);
    ~DownloadJob();
    DownloadJob(const DownloadJob&) = delete;
    DownloadJob& operator=(const DownloadJob&) = delete;

    // The loader thread's routine: runs the job, reports its end through the progress
    // object and destroys the job. Answers the thread's exit code: 0 after success, -1
    // after failure.
    static int threadRoutine(std::unique_ptr<DownloadJob> job);

    // The whole download; true when the terminal has been loaded (and the ticket printed).
    bool run();

    // A file named in the download description, in the applications directory.
    std::string applicationPath(std::string_view fileName);

    // Reports (status text, ticket line, log line) and byte logs.
    void reportMilestone(std::string_view message);
    void reportError(std::string_view message);
    void reportInfo(std::string_view message);
    void logInput(const std::uint8_t* bytes, std::size_t count);
    void logInput(std::uint8_t byte);
    void logOutput(const std::uint8_t* bytes, std::size_t count);
    void logOutput(std::uint8_t byte);

    // Ticket lines, collected while the ticket switch is on.
    void addTicketLine(std::string_view line);
    const std::vector<std::string>& ticketLines() const { return ticketLines_; }

    // Intel HEX download.
    bool downloadIntelHex();
    bool sendHexFile(std::string_view fileName, bool stopAtEndRecord);

    const std::string& portName() const { return portName_; }
    Progress& progress() { return *progress_; }
    Tarea::Port& terminalPort() { return terminalPort_; }

private:
    enum class LogKind { Milestone, Error, Info, Input, Output };
    void appendLog(LogKind kind, std::string_view text);
    void addTicketHeading();
    void addTicketTrailer(bool success);
    bool openTerminalPort();

    std::string portName_;
    OrvaneDoc& document_;
    std::unique_ptr<Progress> progress_;
    CommPort::Port terminalPort_;
    CommPort::Port printerPort_;
    bool logOn_ = false;
    std::int32_t logLevel_ = 0;
    bool ticketOn_ = false;
    std::vector<std::string> ticketLines_;
};
