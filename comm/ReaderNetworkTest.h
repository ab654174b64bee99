#pragma once
// The check the reading settings make before accepting a reader network server and a
// reader number: the server must answer and know the reader. Runs synchronously; the
// verdict carries the message and caption to show and the field to put the focus on,
// so that the caller shows them in its own time.
#include <string>

namespace BarcodeReader {

struct ReaderNetworkVerdict {
    enum class Outcome {
        Passed,
        Failed,
        // The server reports the reader absent: ask the operator, with OK and Cancel,
        // whether to accept it anyway. OK passes; Cancel fails with the focus on the
        // reader number.
        AskAcceptAbsent,
    };
    enum class Field { None, Server, ReaderNumber };

    Outcome outcome = Outcome::Failed;
    std::string message; // empty when there is nothing to show
    std::string caption;
    Field focus = Field::None; // where the keyboard focus goes after a failure
};

// The TCP port is the network server's, 800; tests pass another.
ReaderNetworkVerdict testReaderNetwork(const std::string& server, int readerNumber, int tcpPort = 800);

} // namespace BarcodeReader
