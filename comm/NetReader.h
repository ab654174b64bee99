#pragma once
// One bar-code reader of an RS485 reader network, reached through the network's TCP
// server: the station keeps a connection to the server from start on, claims its
// reader while reading is enabled and passes the codes the server reports to the
// attached client.
#include "comm/BarcodeReader.h"
#include "comm/RetryPause.h"

#include <memory>

namespace BarcodeReader {

class NetReaderWorker;

class NetReader final : public Reader {
public:
    // How long the connection thread waits before a new connection after one ended or
    // failed: 3 to 10 s. Tests may pass a shorter range.
    static constexpr RetryPause defaultReconnectPause{3000, 10000};

    // The server's host name or dotted address, its TCP port (the station uses 800) and
    // the reader's number on the network as decimal text.
    NetReader(std::string server, int tcpPort, std::string readerNumber,
              RetryPause reconnectPause = defaultReconnectPause);
    ~NetReader() override;

    bool start() override;
    void setClient(Client* client) override;
    bool enable() override;
    void disable() override;
    void stop() override;

    int tcpPort() const { return tcpPort_; }
    const std::string& readerNumber() const { return readerNumber_; }

private:
    int tcpPort_;
    std::string readerNumber_;
    RetryPause reconnectPause_;
    std::unique_ptr<NetReaderWorker> worker_;
};

} // namespace BarcodeReader
