// The job's three reports and two byte logs: status text, ticket line, load log line.
#include "app/OrvaneDoc.h"
#include "loader/DownloadJob.h"
#include "loader/Progress.h"
#include "loader/RenderBytes.h"

namespace {

const char* infixOf(int kind)
{
    static const char* const infixes[] = {" CARGA: ", " ERROR: ", " ", " INPUT: ", " OUTPUT: "};
    return infixes[kind];
}

} // namespace

void DownloadJob::appendLog(LogKind kind, std::string_view text)
{
    std::string line = portName_;
    line += infixOf(static_cast<int>(kind));
    line += text;
    document_.appendLogLine(line);
}

void DownloadJob::reportMilestone(std::string_view message)
{
    progress_->setText(std::string(message));
    addTicketLine(std::string("CARGA: ") + std::string(message));
    if (logOn_)
        appendLog(LogKind::Milestone, message);
}

void DownloadJob::reportError(std::string_view message)
{
    progress_->setText(std::string(message));
    addTicketLine(std::string("ERROR: ") + std::string(message));
    if (logOn_)
        appendLog(LogKind::Error, message);
}

void DownloadJob::reportInfo(std::string_view message)
{
    progress_->setText(std::string(message));
    addTicketLine(message);
    if (logOn_ && logLevel_ >= 1)
        appendLog(LogKind::Info, message);
}

void DownloadJob::logInput(const std::uint8_t* bytes, std::size_t count)
{
    if (logOn_ && count != 0 && logLevel_ >= 3)
        appendLog(LogKind::Input, renderBytes(bytes, count));
}

void DownloadJob::logInput(std::uint8_t byte)
{
    logInput(&byte, 1);
}

void DownloadJob::logOutput(const std::uint8_t* bytes, std::size_t count)
{
    if (logOn_ && count != 0 && (logLevel_ == 2 || logLevel_ >= 4))
        appendLog(LogKind::Output, renderBytes(bytes, count));
}

void DownloadJob::logOutput(std::uint8_t byte)
{
    logOutput(&byte, 1);
}
