#pragma once
// The signature the signing tool stand-in writes over the end of the data it signs: a
// fixed-size text line naming how it signed and a 64-bit FNV-1a hash over what it signed
// with and every byte of the data before the line. The data keeps its length, so data
// shorter than the line cannot be signed. Tests compute the same bytes to check the
// signed data they get back.
#include <cstdint>
#include <cstdio>
#include <optional>
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

// The trailer over the covered bytes signed by the device (the BYHSC signing command).
inline std::string deviceTrailer(std::string_view covered)
{
    return trailer('D', Fnv64().add("BYHSC").add(covered).value());
}

// The trailer over the covered bytes signed with a key file's bytes and a key number.
inline std::string keyFileTrailer(std::string_view covered, std::string_view keyFileBytes, std::string_view keyNumber)
{
    return trailer('F', Fnv64().add(keyFileBytes).add(std::string_view("\0", 1)).add(keyNumber)
                            .add(std::string_view("\0", 1)).add(covered).value());
}

// What a signing is done with: the device, or a key file's bytes and a key number.
struct SigningKey {
    char kind = 'D'; // 'D' the device, 'F' a key file
    std::string keyFileBytes;
    std::string keyNumber;

    static SigningKey device() { return {}; }
    static SigningKey keyFile(std::string_view bytes, std::string_view number)
    {
        return {'F', std::string(bytes), std::string(number)};
    }
};

inline std::string trailerOver(std::string_view covered, const SigningKey& key)
{
    return key.kind == 'F' ? keyFileTrailer(covered, key.keyFileBytes, key.keyNumber) : deviceTrailer(covered);
}

// The data signed in place: its last trailerSize bytes replaced by the trailer over all
// the bytes before them. Nothing when the data is shorter than the trailer.
inline std::optional<std::string> signInPlace(std::string_view data, const SigningKey& key)
{
    if (data.size() < trailerSize)
        return std::nullopt;
    std::string_view covered = data.substr(0, data.size() - trailerSize);
    return std::string(covered) + trailerOver(covered, key);
}

} // namespace signer
