#pragma once
// The signature the signing tool stand-in appends to the data it signs: a fixed-size
// text line naming how it signed and a 64-bit FNV-1a hash over what it signed with and
// the data. Tests compute the same trailer to check the signed bytes they get back.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace signer {

// "#SIGNED D 0123456789abcdef\n": D by the signing device, F by a key file.
constexpr std::size_t trailerSize = 27;

class Fnv64 {
public:
    Fnv64& add(std::string_view bytes)
    {
        for (unsigned char c : bytes) {
            hash_ ^= c;
            hash_ *= 0x100000001b3ULL;
        }
        return *this;
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

inline std::string trailer(char kind, std::uint64_t hash)
{
    char text[trailerSize + 1];
    std::snprintf(text, sizeof text, "#SIGNED %c %016llx\n", kind, static_cast<unsigned long long>(hash));
    return std::string(text, trailerSize);
}

// The trailer of data signed by the device (the BYHSC signing command).
inline std::string deviceTrailer(std::string_view data)
{
    return trailer('D', Fnv64().add("BYHSC").add(data).value());
}

// The trailer of data signed with a key file's bytes and a key number.
inline std::string keyFileTrailer(std::string_view data, std::string_view keyFileBytes, std::string_view keyNumber)
{
    return trailer('F', Fnv64().add(keyFileBytes).add(std::string_view("\0", 1)).add(keyNumber)
                            .add(std::string_view("\0", 1)).add(data).value());
}

} // namespace signer
