// sign.exe: a stand-in for the external signing tool, for tests and the demo. It accepts
// the tool's four command lines:
//   PORT <port>                          choose the signing device's serial port
//   PASSWORD <password> BYHSC            check the device's user password
//   <in> <out> BYHSC                     sign with the device
//   <in> <out> <key file> <key number>   sign with a key file
// Signing writes a trailer (sim/signer/SignatureTrailer.h) over the last bytes of the
// data, so the signed data is exactly as long as the data given, and writes the result
// to <out>. Exit codes: 0 done, 1 wrong password, 2 a command line it does not know, 3 an
// input it cannot read, 4 an output it cannot write, 5 data too short to hold the
// signature; the switches of SignerSwitches.h change that on request.
#include "sim/signer/SignatureTrailer.h"
#include "sim/signer/SignerLog.h"
#include "sim/signer/SignerSwitches.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using signer::Step;

enum Exit { Done = 0, WrongPassword = 1, UnknownCommand = 2, CannotRead = 3, CannotWrite = 4, CannotSign = 5 };

struct Command {
    Step step;
    std::vector<std::string> arguments;
};

std::optional<Command> parseCommand(const std::vector<std::string>& arguments)
{
    if (arguments.size() == 2 && arguments[0] == "PORT")
        return Command{Step::Port, arguments};
    if (arguments.size() == 3 && arguments[0] == "PASSWORD" && arguments[2] == "BYHSC")
        return Command{Step::Password, arguments};
    if ((arguments.size() == 3 && arguments[2] == "BYHSC") || arguments.size() == 4)
        return Command{Step::Sign, arguments};
    return std::nullopt;
}

std::optional<std::string> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool rewriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return static_cast<bool>(out);
}

[[noreturn]] void hang()
{
    for (;;)
        ::pause();
}

int checkPassword(const signer::Switches& switches, const std::string& password)
{
    if (switches.password && *switches.password != password)
        return WrongPassword;
    return Done;
}

// The device for the BYHSC command line; else the key file named and the key number.
std::optional<signer::SigningKey> signingKey(const std::vector<std::string>& arguments)
{
    if (arguments.size() == 3)
        return signer::SigningKey::device();
    std::optional<std::string> keyFileBytes = readFile(arguments[2]);
    if (!keyFileBytes)
        return std::nullopt;
    return signer::SigningKey::keyFile(*keyFileBytes, arguments[3]);
}

int signFile(const signer::Switches& switches, const signer::SignerLog& log, const std::vector<std::string>& arguments)
{
    const std::string& in = arguments[0];
    const std::string& out = arguments[1];
    struct stat info{};
    if (::stat(in.c_str(), &info) == 0)
        log.input(info.st_mode & 07777, static_cast<long long>(info.st_size));
    std::optional<std::string> data = readFile(in);
    if (!data)
        return CannotRead;
    if (switches.removeFile)
        return ::unlink(out.c_str()) == 0 ? Done : CannotWrite;

    std::optional<signer::SigningKey> key = signingKey(arguments);
    if (!key)
        return CannotRead;
    std::optional<std::string> signedData = signer::signInPlace(*data, *key);
    if (!signedData) {
        log.refusal("data of " + std::to_string(data->size()) + " bytes cannot hold the " +
                    std::to_string(signer::trailerSize) + "-byte signature");
        return CannotSign;
    }
    signedData->append(static_cast<std::size_t>(std::max(0L, switches.growBytes)), 'G');
    return rewriteFile(out, *signedData) ? Done : CannotWrite;
}

int perform(const signer::Switches& switches, const signer::SignerLog& log, const std::vector<std::string>& arguments)
{
    std::optional<Command> command = parseCommand(arguments);
    if (!command)
        return UnknownCommand;
    if (switches.hangs(command->step))
        hang();
    if (switches.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(switches.delayMs));
    if (std::optional<int> code = switches.forcedExit(command->step))
        return *code;
    switch (command->step) {
    case Step::Port: return Done;
    case Step::Password: return checkPassword(switches, arguments[1]);
    case Step::Sign: return signFile(switches, log, arguments);
    }
    return UnknownCommand;
}

} // namespace

int main(int argc, char** argv)
{
    signer::Switches switches = signer::Switches::fromEnvironment();
    signer::SignerLog log(switches.logFile);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    log.run(argc > 0 ? argv[0] : "", arguments);
    int code = perform(switches, log, arguments);
    log.exit(code);
    return code;
}
