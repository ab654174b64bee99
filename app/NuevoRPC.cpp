#include "app/NuevoRPC.h"

#include "app/OrvaneDoc.h"

NuevoRPC::NuevoRPC(OrvaneDoc& document, Kind kind, std::string& result, std::string_view label)
    : document_(document), kind_(kind), text_(&result), label_(label)
{
}

NuevoRPC::NuevoRPC(OrvaneDoc& document, Kind kind, std::uint32_t& result, std::string_view label)
    : document_(document), kind_(kind), number_(&result), label_(label)
{
}

void NuevoRPC::execute()
{
    success_ = produce();
}

bool NuevoRPC::produce()
{
    // A request whose result slot does not suit its kind has nowhere to put the answer.
    switch (kind_) {
    case Kind::SerialNumber:
        return text_ && document_.serialNumberFromSource(label_, *text_);
    case Kind::MacAddress:
        return text_ && document_.macAddressFromSource(label_, *text_);
    case Kind::IpAddress:
        return number_ && document_.ipAddressFromSource(label_, *number_);
    case Kind::SignerPassword:
        return text_ && document_.promptSignerPassword(*text_);
    }
    return false;
}
