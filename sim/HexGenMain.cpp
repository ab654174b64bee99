// orvane-hexgen: writes an Intel HEX file of pseudo-random data, for tests, benchmarks
// and the demo workspace.
//   orvane-hexgen --out FILE [--bytes N] [--address A] [--seed S] [--no-eof] [--lf]
// Data records of 32 bytes, extended linear address records where a 64 KiB boundary is
// crossed, and the end-of-file record :00000001FF unless --no-eof. Lines end with CR LF
// (LF alone with --lf).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Options {
    std::string out;
    unsigned long bytes = 4096;
    unsigned long address = 0;
    unsigned long seed = 1;
    bool endRecord = true;
    const char* lineEnd = "\r\n";
};

std::string record(std::uint8_t type, std::uint16_t address, const std::vector<std::uint8_t>& data)
{
    static const char digits[] = "0123456789ABCDEF";
    std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(address >> 8),
                                       static_cast<std::uint8_t>(address & 0xFF), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes)
        sum = static_cast<std::uint8_t>(sum + b);
    bytes.push_back(static_cast<std::uint8_t>(-sum));
    std::string line = ":";
    for (std::uint8_t b : bytes) {
        line += digits[b >> 4];
        line += digits[b & 0x0F];
    }
    return line;
}

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (a == "--out" && (v = next()))
            o.out = v;
        else if (a == "--bytes" && (v = next()))
            o.bytes = std::strtoul(v, nullptr, 0);
        else if (a == "--address" && (v = next()))
            o.address = std::strtoul(v, nullptr, 0);
        else if (a == "--seed" && (v = next()))
            o.seed = std::strtoul(v, nullptr, 0);
        else if (a == "--no-eof")
            o.endRecord = false;
        else if (a == "--lf")
            o.lineEnd = "\n";
        else
            return false;
    }
    return !o.out.empty();
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        std::fputs("usage: orvane-hexgen --out FILE [--bytes N] [--address A] [--seed S] [--no-eof] [--lf]\n", stderr);
        return 2;
    }
    std::FILE* f = std::fopen(o.out.c_str(), "wb");
    if (!f) {
        std::perror(o.out.c_str());
        return 1;
    }
    std::mt19937 random(static_cast<std::mt19937::result_type>(o.seed));
    unsigned long address = o.address;
    unsigned long upper = ~0UL;
    for (unsigned long left = o.bytes; left > 0;) {
        if ((address >> 16) != upper) {
            upper = address >> 16;
            std::vector<std::uint8_t> ext = {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper)};
            std::fprintf(f, "%s%s", record(4, 0, ext).c_str(), o.lineEnd);
        }
        unsigned long room = 0x10000 - (address & 0xFFFF);
        unsigned long n = std::min({left, 32UL, room});
        std::vector<std::uint8_t> data(n);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(random());
        std::fprintf(f, "%s%s", record(0, static_cast<std::uint16_t>(address & 0xFFFF), data).c_str(), o.lineEnd);
        address += n;
        left -= n;
    }
    if (o.endRecord)
        std::fprintf(f, ":00000001FF%s", o.lineEnd);
    return std::fclose(f) == 0 ? 0 : 1;
}
