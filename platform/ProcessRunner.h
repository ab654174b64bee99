#pragma once
// Runs a helper program (the signing tool) hidden from the operator and waits for it
// with a time limit. The program gets an argument vector made by splitting the argument
// text at blanks; no shell ever sees the text. It runs in the given working directory,
// which the station's own current directory never follows, with its standard streams
// on /dev/null and none of the station's descriptors.
#include "platform/Ticks.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

class WakeEvent;

struct ProcessRun {
    enum class Outcome {
        Exited,       // the program ended by itself: see exitCode
        TimedOut,     // killed at the time limit
        Aborted,      // killed because the abort event was set
        NotStarted,   // could not be started: see errorNumber
        WaitFailed,   // the wait itself failed (errorNumber); the program was killed
    };

    Outcome outcome = Outcome::NotStarted;
    // The exit status (0 to 255) when the program ended by itself; -1 when a signal ended
    // it or in every other outcome.
    int exitCode = -1;
    int errorNumber = 0;
    // The program as it was started: a path in the working directory or a bare name
    // looked up on PATH. Messages about the run use it as their caption.
    std::string programPath;

    bool ended() const { return outcome == Outcome::Exited; }
};

// The argument text cut at blanks; runs of blanks separate like one, so no argument is
// empty. Every other character, quotes and shell signs included, is taken as it is.
std::vector<std::string> splitArguments(std::string_view text);

// The program to start for programName: the file or folder of that name in directory
// when one exists there, else the bare name, which the start looks up on PATH.
std::string locateProgram(std::string_view directory, std::string_view programName);

// Starts programName (see locateProgram) with the arguments split from the text, in
// directory as its working directory (a network directory is first resolved to its mount
// point; a directory that cannot be used leaves the program in the station's own), and
// waits for it. timeoutMs 0 waits without limit. When abort is given and gets set, the
// program is killed and the run ends as Aborted; the event is reset. A program that
// outlives the limit, an abort or a failed wait is killed with SIGKILL and reaped.
ProcessRun RunProcess(std::string_view directory, std::string_view programName, std::string_view arguments,
                      Millis timeoutMs, WakeEvent* abort = nullptr);

} // namespace platform
