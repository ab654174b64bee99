#pragma once
// A source of bar codes (a reader on a serial port of the station, or one reader of an
// RS485 reader network reached through a TCP server) and the callback interface of its
// user, the reading dialog.
#include <string>

namespace BarcodeReader {

class Reader;

// Receives a reader's notifications. Called from the reader's own thread while the
// reader holds its lock (except the calls setClient makes on the caller's thread): an
// implementation must not call back into the reader from inside them.
class Client {
public:
    virtual ~Client() = default;
    virtual void readerOpened(Reader& reader) = 0;
    virtual void readerClosed(Reader& reader) = 0;
    virtual void codeRead(Reader& reader, const std::string& code) = 0;
};

class Reader {
public:
    explicit Reader(std::string address) : address_(std::move(address)) {}
    virtual ~Reader() = default;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Creates a fresh worker; always true.
    virtual bool start() = 0;
    // Attaches a client (or none); pending codes go to a newly attached client.
    virtual void setClient(Client* client) = 0;
    // Begins reading; true.
    virtual bool enable() = 0;
    // Ends reading; blocks until the reading thread has ended.
    virtual void disable() = 0;
    // Destroys the worker, ending its thread first.
    virtual void stop() = 0;

    // The serial port name or the reader network server's host name.
    const std::string& address() const { return address_; }

private:
    // Each reader kind owns a worker of its own kind (its thread and state), created by
    // start and destroyed by stop.
    std::string address_;
};

} // namespace BarcodeReader
