#pragma once
// How the signing tool stand-in misbehaves, chosen by tests through its environment:
//   ORVANE_SIGNER_LOG=file         append what each run saw and did to file
//   ORVANE_SIGNER_EXIT=n           every step ends with exit code n without doing its work
//   ORVANE_SIGNER_EXIT_PORT=n, ORVANE_SIGNER_EXIT_PASSWORD=n, ORVANE_SIGNER_EXIT_SIGN=n
//                                  the same for one step only (wins over ORVANE_SIGNER_EXIT)
//   ORVANE_SIGNER_HANG=step        the step (PORT, PASSWORD, SIGN, or 1 for every step)
//                                  never ends
//   ORVANE_SIGNER_DELAY_MS=n       every step waits n ms before its work
//   ORVANE_SIGNER_GROW=n           the signed file gets n bytes more than the data given
//   ORVANE_SIGNER_REMOVE=1         the signing step deletes the file instead of signing
//   ORVANE_SIGNER_PASSWORD=text    the only user password the device accepts (exit 1
//                                  for any other); without it every password is accepted
#include <optional>
#include <string>
#include <string_view>

namespace signer {

enum class Step { Port, Password, Sign };

std::string_view stepName(Step step);

struct Switches {
    std::string logFile;
    std::optional<int> exitCode;
    std::optional<int> portExitCode, passwordExitCode, signExitCode;
    std::string hangStep;
    long delayMs = 0;
    long growBytes = 0;
    bool removeFile = false;
    std::optional<std::string> password;

    static Switches fromEnvironment();

    // The exit code a step is told to end with, if any.
    std::optional<int> forcedExit(Step step) const;
    bool hangs(Step step) const;
};

} // namespace signer
