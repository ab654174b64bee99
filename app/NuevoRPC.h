#pragma once
// A request for one value that only the interface thread may produce: a terminal's
// serial number, MAC address or IPv4 address, or the signing tool's user password. It
// lives on the requesting thread's stack while OrvaneDoc::runOnInterfaceThread runs it.
#include "app/RPC.h"

#include <cstdint>
#include <string>
#include <string_view>

class OrvaneDoc;

class NuevoRPC final : public RPC {
public:
    enum class Kind : std::uint8_t { SerialNumber = 0, MacAddress = 1, IpAddress = 2, SignerPassword = 3 };

    // Kinds answered with text: the serial number, the MAC address, the signer password.
    NuevoRPC(OrvaneDoc& document, Kind kind, std::string& result, std::string_view label);
    // The kind answered with a number: the IPv4 address.
    NuevoRPC(OrvaneDoc& document, Kind kind, std::uint32_t& result, std::string_view label);

    // On the interface thread: asks the document for the value of its kind and keeps the
    // outcome. A kind the request does not know does nothing and stays unsuccessful.
    void execute() override;

    bool succeeded() const { return success_; }
    Kind kind() const { return kind_; }
    const std::string& label() const { return label_; }

private:
    bool produce();

    OrvaneDoc& document_;
    Kind kind_;
    std::string* text_ = nullptr;
    std::uint32_t* number_ = nullptr;
    std::string label_; // the requesting terminal's name, shown when the operator is asked
    bool success_ = false;
};
