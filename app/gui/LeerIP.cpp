#include "app/gui/LeerIP.h"

#include "app/IdentitySteps.h"
#include "app/gui/Ipv4AddressField.h"

namespace {
constexpr char kAddressCaption[] = "IP address reading";
}

LeerIP::LeerIP(BarcodeReader::Reader* reader, const std::string& title, std::uint32_t address, QWidget* owner)
    : LeerIP(reader, title, address, new Ipv4AddressField, owner)
{
}

LeerIP::LeerIP(BarcodeReader::Reader* reader, const std::string& title, std::uint32_t address,
               Ipv4AddressField* field, QWidget* owner)
    : Leer(reader, kAddressCaption, title, field, owner), field_(field)
{
    if (address != 0)
        field_->setAddress(address);
}

void LeerIP::confirm()
{
    const std::uint32_t address = field_->address();
    if (address == 0) {
        reject(); // a blank address is no answer
        return;
    }
    address_ = address;
    accept();
}

void LeerIP::takeScannedCode(const std::string& code)
{
    if (!isVisible())
        return;
    // A code that is neither a dotted address nor a hexadecimal number leaves the field
    // as it was; the field is confirmed either way.
    std::uint32_t scanned = 0;
    if (readDottedAddress(code, scanned) || readHexNumber(code, scanned))
        field_->setAddress(scanned);
    confirm();
}
