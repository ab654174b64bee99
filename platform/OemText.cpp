#include "platform/OemText.h"

#include <algorithm>
#include <iconv.h>

namespace platform {

namespace {

// One conversion descriptor of glibc iconv, closed when it goes.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (valid())
            ::iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The one byte that byte converts to, or '?' when it has no single-byte form.
    char convertByte(char byte)
    {
        char in[1] = {byte};
        char out[8];
        char* inPtr = in;
        char* outPtr = out;
        std::size_t inLeft = sizeof in;
        std::size_t outLeft = sizeof out;
        std::size_t result = ::iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        std::size_t produced = sizeof out - outLeft;
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        if (result == static_cast<std::size_t>(-1) || inLeft != 0 || produced != 1)
            return '?';
        return out[0];
    }

private:
    iconv_t cd_;
};

bool isAscii(char byte)
{
    return static_cast<unsigned char>(byte) < 0x80;
}

} // namespace

std::string cp1252ToCp850(std::string_view text)
{
    std::string converted(text);
    if (std::all_of(converted.begin(), converted.end(), isAscii))
        return converted;
    IconvHandle handle("CP850//TRANSLIT", "CP1252");
    for (char& byte : converted) {
        if (isAscii(byte))
            continue; // both code pages share ASCII
        byte = handle.valid() ? handle.convertByte(byte) : '?';
    }
    return converted;
}

} // namespace platform
