#include "app/SigningRunner.h"

#include "app/InterfaceThread.h"
#include "app/OrvaneDoc.h"
#include "app/RPC.h"
#include "platform/ExchangeFile.h"
#include "platform/ProcessRunner.h"
#include "platform/SystemError.h"

#include <mutex>

namespace {

constexpr std::string_view toolName = "sign.exe";
// The password check answers 254 when it accepted the password in its own way.
constexpr int passwordAcceptedExit = 254;

// A message for the operator, shown on the interface thread while the signing thread
// waits for the operator to take note.
class OperatorMessage final : public RPC {
public:
    OperatorMessage(OrvaneDoc& document, std::string text, std::string caption)
        : document_(document), text_(std::move(text)), caption_(std::move(caption))
    {
    }
    void execute() override
    {
        if (InterfaceThread* interface = document_.interfaceThread())
            interface->showMessage(text_, caption_);
    }

private:
    OrvaneDoc& document_;
    std::string text_;
    std::string caption_;
};

} // namespace

bool OrvaneDoc::signConfiguration(std::uint8_t* data, std::size_t& length, std::size_t capacity, std::string& errorText)
{
    return SigningRunner(*this).sign(data, length, capacity, errorText);
}

SigningRunner::SigningRunner(OrvaneDoc& document, platform::Millis timeLimitMs)
    : document_(document), timeLimitMs_(timeLimitMs)
{
}

bool SigningRunner::sign(std::uint8_t* data, std::size_t& length, std::size_t capacity, std::string& errorText)
{
    // Held to the end, the password prompt included: a second port waits for this signing.
    std::scoped_lock lock(document_.signingLock());
    Mode mode = configuredMode();
    if (mode == Mode::None) {
        errorText = "The Signing tool isn't set.";
        return false;
    }
    if (!signerPasswordKnown(mode))
        return false; // the operator cancelled: nothing to report

    std::string folder = platform::temporaryFolder();
    if (folder.size() + 1 > folderPathLimit) {
        errorText = "Error, opening temporal files folder.";
        return false;
    }
    // Removed when it goes out of scope, whatever happens from here on.
    platform::ExchangeFile exchange;
    if (!exchange.create(folder, "CFG")) {
        errorText = "Error, creating temporal file.";
        return false;
    }
    if (!exchange.writeAll(data, length)) {
        errorText = "Error, writing a temporal file.";
        return false;
    }

    bool signedByTool = mode == Mode::SerialDevice ? signWithDevice(folder, exchange.path(), errorText)
                                                   : signWithKeyFile(folder, exchange.path(), errorText);
    if (!signedByTool)
        return false;

    switch (exchange.readBack(data, capacity, length)) {
    case platform::ExchangeFile::ReadBack::Read:
        return true;
    case platform::ExchangeFile::ReadBack::CannotOpen:
        errorText = "Error, opening temporal file to read.";
        return false;
    case platform::ExchangeFile::ReadBack::TooLarge:
        errorText = "Temporal file max length exceeded.";
        return false;
    case platform::ExchangeFile::ReadBack::Failed:
        break;
    }
    errorText = "Error, reading temporal file.";
    return false;
}

SigningRunner::Mode SigningRunner::configuredMode()
{
    switch (document_.readSettingInt("FirmadorRadio")) {
    case 0: return Mode::None;
    case 1: return Mode::SerialDevice;
    default: return Mode::KeyFile;
    }
}

bool SigningRunner::signerPasswordKnown(Mode mode)
{
    if (mode != Mode::SerialDevice || !document_.signerPassword().empty())
        return true;
    return document_.askSignerPassword();
}

bool SigningRunner::signWithDevice(const std::string& folder, const std::string& exchangePath, std::string& errorText)
{
    if (!runTool(folder, "PORT " + document_.readSetting("FirmadorPuerto"), 0)) {
        errorText = "Error, setting signing tool communications port.";
        return false;
    }
    if (!runTool(folder, "PASSWORD " + document_.signerPassword() + " BYHSC", 0, passwordAcceptedExit)) {
        errorText = "Error, checking signing tool password. Erroneous password?";
        return false;
    }
    if (!runTool(folder, exchangePath + " " + exchangePath + " BYHSC", 0)) {
        errorText = "Error, executing signing tool utility.";
        return false;
    }
    return true;
}

bool SigningRunner::signWithKeyFile(const std::string& folder, const std::string& exchangePath, std::string& errorText)
{
    std::string arguments = exchangePath + " " + exchangePath + " " + document_.readSetting("FirmadorArchivo") + " " +
                            document_.readSetting("FirmadorClave");
    if (!runTool(folder, arguments, 0)) {
        errorText = "Error, executing signing tool utility.";
        return false;
    }
    return true;
}

bool SigningRunner::runTool(const std::string& folder, const std::string& arguments, int expectedExit, int alsoAccepted)
{
    platform::ProcessRun run = platform::RunProcess(folder, toolName, arguments, timeLimitMs_);
    switch (run.outcome) {
    case platform::ProcessRun::Outcome::Exited:
        return run.exitCode == expectedExit || (alsoAccepted >= 0 && run.exitCode == alsoAccepted);
    case platform::ProcessRun::Outcome::TimedOut:
        tellOperator("Waiting time reached", run.programPath);
        return false;
    case platform::ProcessRun::Outcome::NotStarted:
    case platform::ProcessRun::Outcome::WaitFailed:
        tellOperator(platform::systemErrorText(run.errorNumber), run.programPath);
        return false;
    case platform::ProcessRun::Outcome::Aborted:
        break;
    }
    return false;
}

void SigningRunner::tellOperator(const std::string& text, const std::string& caption)
{
    OperatorMessage message(document_, text, caption);
    document_.runOnInterfaceThread(message);
}
