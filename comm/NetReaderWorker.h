#pragma once
// The reader network client's state and connection thread. The thread connects to the
// server, checks that it answers, claims the reader (OPEN) while reading is requested,
// waits for codes in keep-alive periods, releases the reader (CLOSE) when reading is no
// longer requested, and starts a new connection 3 to 10 s after one is lost.
#include "comm/ReaderClientSlot.h"
#include "comm/RetryPause.h"
#include "comm/TcpSocket.h"
#include "platform/WakeEvent.h"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace BarcodeReader {

class NetReader;

class NetReaderWorker {
public:
    // Starts the connection thread at once.
    NetReaderWorker(NetReader& owner, RetryPause reconnectPause);
    // Ends the connection thread from any state, promptly.
    ~NetReaderWorker();
    NetReaderWorker(const NetReaderWorker&) = delete;
    NetReaderWorker& operator=(const NetReaderWorker&) = delete;

    void setClient(Client* client);
    // Reading requested / no longer requested: the connection thread claims or releases
    // the reader at its next step. Neither waits for the server.
    void requestReading();
    void endReadingRequest();

    // A line from the server longer than this without its line end ends the connection.
    static constexpr std::size_t kLongestLine = 64 * 1024;

private:
    enum class Wait { ForAnswer, ForEvents };

    void connectionThread();
    void connectionCycle();
    void serveConnection();
    bool livenessCheck();
    bool openExchange();
    void keepAlivePeriod();
    void readerClaimed();
    void releaseReader();

    bool sendCommandLine(std::string_view text);
    // The next line from the server. An answer awaited after a command ends only by
    // its limit, the loss of the connection or stop; waiting for events also ends when
    // reading is requested or no longer requested.
    std::optional<std::string> receiveLine(platform::Millis limitMs, Wait wait);
    std::optional<std::string> takeBufferedLine();
    void dropConnection();
    bool stopping();

    NetReader& owner_;
    std::mutex lock_;
    bool stop_ = false;
    ClientSlot client_;
    bool readingRequested_ = false;
    bool readerOpen_ = false; // the server confirmed that we hold the reader
    platform::WakeEvent wake_; // enable, disable, stop
    platform::WakeEvent stopEvent_;
    RetryPauses reconnectPauses_;
    // Connection thread only:
    std::string received_;
    TcpSocket socket_;
    // Last: the thread starts when everything above exists.
    std::thread thread_;
};

} // namespace BarcodeReader
