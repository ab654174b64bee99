#pragma once
// The client attachment shared by both reader kinds: the attached client (not owned),
// the codes read while none was attached, and the notifications. It has no lock of its
// own: the owning worker's lock guards every call.
#include "comm/BarcodeReader.h"

#include <deque>
#include <string>

namespace BarcodeReader {

class ClientSlot {
public:
    explicit ClientSlot(Reader& reader) : reader_(reader) {}

    // Attaches a client (or none). A different client is told readerClosed when it
    // leaves while the device or link is up; a new one is told readerOpened when it is
    // up and then receives the pending codes in order. The same client again: nothing.
    void attach(Client* client, bool up);
    // The device or link came up / went down: the attached client is told.
    void opened();
    void closed();
    // A code read: to the attached client, or kept until one is attached.
    void deliver(const std::string& code);
    void dropPending() { pending_.clear(); }
    std::size_t pendingCount() const { return pending_.size(); }

private:
    Reader& reader_;
    Client* client_ = nullptr;
    std::deque<std::string> pending_;
};

} // namespace BarcodeReader
