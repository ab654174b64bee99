#include "loader/DownloadJob.h"

#include "app/OrvaneDoc.h"
#include "loader/Progress.h"
#include "platform/Paths.h"

DownloadJob::DownloadJob(std::string portName, OrvaneDoc& document, std::unique_ptr<Progress> progress)
    : portName_(std::move(portName)), document_(document), progress_(std::move(progress))
{
}

DownloadJob::~DownloadJob()
{
    // The progress object goes first; the ports close themselves when destroyed.
    progress_.reset();
    ticketLines_.clear();
}

int DownloadJob::threadRoutine(std::unique_ptr<DownloadJob> job)
{
    bool result = false;
    try {
        result = job->run();
    } catch (...) {
        result = false;
        try {
            job->reportError("Sw exception in loader thread!");
        } catch (...) {
            // Nothing more can be said; the panel still learns of the failure below.
        }
    }
    job->progress_->finish(result);
    job.reset();
    return result ? 0 : -1;
}

std::string DownloadJob::applicationPath(std::string_view fileName)
{
    return platform::joinPath(document_.readSetting("DirAplic"), fileName);
}

bool DownloadJob::descriptionLineSettings(std::string_view key, CommPort::PortSettings& settings)
{
    settings = CommPort::PortSettings{};
    settings.baudIndex = 12; // 115200,N,8,1 unless the description says otherwise
    settings.parityIndex = 2;
    settings.dataBits = 8;
    settings.stopBitIndex = 0;
    std::string text = document_.currentModelValue("COMMUNICATION", key);
    return text.empty() || CommPort::parseLineSettings(text, settings);
}

bool DownloadJob::finishDownload()
{
    if (progress_->cancelled())
        return false;
    reportInfo("Finishing download...");
    TerminalResponse response;
    return sendEndOfLoad(response);
}

bool DownloadJob::openTerminalPortAt(std::string_view key, const char* invalidSettings)
{
    CommPort::PortSettings settings;
    if (!descriptionLineSettings(key, settings)) {
        reportError(invalidSettings);
        return false;
    }
    terminalPort_.close(true);
    if (!terminalPort_.open(portName_, settings)) {
        reportError("The selected Port cannot be opened.");
        return false;
    }
    return true;
}

bool DownloadJob::openTerminalPort()
{
    return openTerminalPortAt("BIOS", "BIOS communications parameters invalid.");
}

void DownloadJob::readSettings()
{
    logOn_ = document_.readSettingInt("RegistroRadio") != 0;
    logLevel_ = document_.readSettingInt("RegistroNivel");
    ticketOn_ = document_.readSettingInt("ImpresionRadio") != 0;
}

bool DownloadJob::run()
{
    readSettings();

    progress_->setPort(&terminalPort_);
    progress_->setPos(0);
    progress_->setText(std::string());

    if (ticketOn_)
        addTicketHeading();
    reportMilestone("Beginning download...");

    if (!document_.currentModelSection("SYSTEM")) {
        reportError("Invalid downloading file.");
        return false;
    }
    if (!openTerminalPort())
        return false;

    bool result = false;
    std::string protocol = document_.currentModelValue("SYSTEM", "PROTOCOL");
    if (protocol == "INTELHEX")
        result = downloadIntelHex();
    else if (protocol == "CORVANTIS")
        result = loadBootstrapFamily();
    else
        reportError("Protocol not supported.");

    if (progress_->cancelled()) {
        reportError("CANCELLED Process.  The equipment has not been loaded.");
        result = false;
    }
    if (result)
        reportMilestone("Carga finalizada.");
    if (ticketOn_) {
        addTicketTrailer(result);
        if (!printTicket())
            result = false; // a ticket that could not be printed fails the download
    }
    return result;
}
