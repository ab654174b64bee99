#include "sim/signer/SignerSwitches.h"

#include <cstdlib>

namespace signer {

namespace {

std::optional<std::string> environment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

std::optional<long> number(const char* name)
{
    std::optional<std::string> text = environment(name);
    if (!text || text->empty())
        return std::nullopt;
    char* end = nullptr;
    long value = std::strtol(text->c_str(), &end, 10);
    if (*end != '\0')
        return std::nullopt;
    return value;
}

std::optional<int> exitCodeFrom(const char* name)
{
    if (std::optional<long> value = number(name))
        return static_cast<int>(*value);
    return std::nullopt;
}

} // namespace

std::string_view stepName(Step step)
{
    switch (step) {
    case Step::Port: return "PORT";
    case Step::Password: return "PASSWORD";
    case Step::Sign: return "SIGN";
    }
    return "";
}

Switches Switches::fromEnvironment()
{
    Switches s;
    s.logFile = environment("ORVANE_SIGNER_LOG").value_or("");
    s.exitCode = exitCodeFrom("ORVANE_SIGNER_EXIT");
    s.portExitCode = exitCodeFrom("ORVANE_SIGNER_EXIT_PORT");
    s.passwordExitCode = exitCodeFrom("ORVANE_SIGNER_EXIT_PASSWORD");
    s.signExitCode = exitCodeFrom("ORVANE_SIGNER_EXIT_SIGN");
    s.hangStep = environment("ORVANE_SIGNER_HANG").value_or("");
    s.delayMs = number("ORVANE_SIGNER_DELAY_MS").value_or(0);
    s.growBytes = number("ORVANE_SIGNER_GROW").value_or(0);
    s.removeFile = environment("ORVANE_SIGNER_REMOVE").value_or("") == "1";
    s.password = environment("ORVANE_SIGNER_PASSWORD");
    return s;
}

std::optional<int> Switches::forcedExit(Step step) const
{
    const std::optional<int>& own = step == Step::Port       ? portExitCode
                                    : step == Step::Password ? passwordExitCode
                                                             : signExitCode;
    return own ? own : exitCode;
}

bool Switches::hangs(Step step) const
{
    return hangStep == "1" || hangStep == stepName(step);
}

} // namespace signer
