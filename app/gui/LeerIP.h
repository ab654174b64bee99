#pragma once
// The reading dialog for an IPv4 address: typed into the address field, or scanned as
// a dotted address or a hexadecimal number. A blank address (0.0.0.0) answers Cancel.
#include "app/gui/Leer.h"

#include <cstdint>

class Ipv4AddressField;

class LeerIP : public Leer {
    Q_OBJECT
public:
    // The field shows address when it is not 0, and is blank otherwise.
    LeerIP(BarcodeReader::Reader* reader, const std::string& title, std::uint32_t address, QWidget* owner = nullptr);

    // The address confirmed by OK or by a scanned code; 0 until then.
    std::uint32_t address() const { return address_; }
    Ipv4AddressField* addressField() const { return field_; }

protected:
    void confirm() override;
    void takeScannedCode(const std::string& code) override;

private:
    LeerIP(BarcodeReader::Reader* reader, const std::string& title, std::uint32_t address, Ipv4AddressField* field,
           QWidget* owner);

    Ipv4AddressField* field_;
    std::uint32_t address_ = 0;
};
