#pragma once
// One download into one terminal on one serial port, run from start to end on a loader
// thread of its own.
#include "comm/CommPort.h"
#include "loader/FileHeader.h"
#include "loader/TerminalResponse.h"
#include "platform/Ticks.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include <vector>

class OrvaneDoc;
class Progress;

// The files sent block by block, each with its start command and header tag.
enum class FileKind { Prekernel, Kernel, Application };

// The files a bootstrap-family download description names.
struct BootstrapFamilyFiles {
    std::string ramboot, guarantee, config, prekernel, kernel;
    std::vector<std::pair<std::string, std::string>> apps; // APP entries: key, file name
};

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
    // The first steps of run: the log and ticket switches and the log level from the
    // settings; the terminal port opened at the description's BIOS line settings.
    void readSettings();
    bool openTerminalPort();

    // A file named in the download description, in the applications directory.
    std::string applicationPath(std::string_view fileName);
    // The closing command "14" after the last file; false without a message if cancelled.
    bool finishDownload();

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
    // Prints the ticket lines on the ticket printer, holding the document's printer
    // lock; false, with its message, when the printer settings are invalid or the
    // printer port cannot be opened.
    bool printTicket();
    // One ticket line on the open printer port: folded to plain letters, in the
    // printer's code page, cut to the width with "..." at every cut.
    void printTicketLine(std::string_view line, int width);

    // Intel HEX download.
    bool downloadIntelHex();
    bool sendHexFile(std::string_view fileName, bool stopAtEndRecord);

    // The terminal link: one acknowledged frame and its response, with the retries.
    bool waitAckNak(std::uint32_t limitMs, std::uint8_t& received);
    bool receiveResponse(std::uint8_t* buffer, std::size_t capacity, std::uint32_t firstLimitMs, std::size_t& length);
    bool exchange(const std::uint8_t* payload, std::size_t payloadLength, std::uint32_t limitMs,
                  std::uint8_t* response, std::size_t& responseLength, std::size_t capacity);
    bool sendCommand(const std::uint8_t* payload, std::size_t payloadLength, std::uint32_t limitMs,
                     std::uint8_t* response, std::size_t& responseLength, std::size_t capacity);
    bool checkStatus(const std::uint8_t* payload, std::size_t payloadLength);

    // The commands of the link, "10" to "19"; true only for an answer with status "00".
    bool sendProbe(TerminalResponse& response);
    bool sendComponentStart(std::uint8_t componentKind, const FileHeader& header, TerminalResponse& response);
    bool sendDataBlock(std::uint16_t blockNumber, const std::uint8_t* data, std::size_t count, TerminalResponse& response);
    bool sendDataRequest(std::uint8_t selector, TerminalResponse& response);
    bool sendEndOfLoad(TerminalResponse& response);
    bool sendApplicationStart(const FileHeader& header, TerminalResponse& response);
    bool sendCommand16(std::uint32_t value, TerminalResponse& response);
    bool sendCommand17(std::uint16_t value, const std::uint8_t* data, std::size_t count, TerminalResponse& response);
    bool sendCommand18(std::uint32_t value, TerminalResponse& response);
    bool sendCommand19(std::uint32_t first, std::uint32_t second, std::uint8_t last, TerminalResponse& response);

    // Prekernel, kernel and application files, block by block.
    bool downloadFile(FileKind kind, std::string_view fileName);

    // The load of a bootstrap-family terminal, and its RAM bootstrap handshake: true
    // when a RAM bootstrap answers in protocol mode at the end, sent now or already
    // running.
    bool loadBootstrapFamily();
    bool loadRamBootstrap(std::string_view fileName, long waitMs);
    // The configuration data step: the terminal's stored data read, the identity fields
    // filled in, signed when changed, and sent after the guarantee object.
    bool prepareConfigurationData(std::string_view guaranteeFile, std::string_view configFile);
    // --- Configuration data step (loader/ConfigurationData.cpp) ---
    // The step's state and sub-steps live in ConfigurationDataStep, which uses the job's
    // document, reports, progress object and block sending.
    friend class ConfigurationDataStep;
    // --- end of the configuration data step ---

    // The terminal's clock after the load; seconds is the wake-up time limit.
    bool setClock(int seconds);

    const std::string& portName() const { return portName_; }
    Progress& progress() { return *progress_; }
    Tarea::Port& terminalPort() { return terminalPort_; }

private:
    enum class LogKind { Milestone, Error, Info, Input, Output };
    void appendLog(LogKind kind, std::string_view text);
    void addTicketHeading();
    void addTicketTrailer(bool success);
    // Line settings from a key of the description's COMMUNICATION section applied to
    // 115200,N,8,1; false when the text is not accepted.
    bool descriptionLineSettings(std::string_view key, CommPort::PortSettings& settings);
    // (Re)opens the terminal port at the line settings of a COMMUNICATION key; reports
    // invalidSettings when the text is refused.
    bool openTerminalPortAt(std::string_view key, const char* invalidSettings);

    bool sendFrame(const std::uint8_t* frame, std::size_t frameLength);
    bool runCommand(const std::vector<std::uint8_t>& payload, std::uint32_t limitMs, TerminalResponse& response);
    bool blockDataFits(std::size_t count);

    bool startFileDownload(FileKind kind, const FileHeader& header, TerminalResponse& response);
    int offeredBlockLength(const TerminalResponse& response);
    bool sendBlock(std::uint16_t number, const std::uint8_t* data, std::size_t count);

    bool checkBootstrapFamilyFiles(const BootstrapFamilyFiles& files, long long& total);
    std::uint8_t askForPrompt();
    bool enterProtocolMode();
    bool biosInLoadingState();

    std::uint8_t readLogged(std::uint32_t limitMs);
    void writeLogged(std::uint8_t b, std::uint32_t limitMs);
    int wakeTerminal(platform::Millis limitMs);

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
