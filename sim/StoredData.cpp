#include "sim/StoredData.h"

#include "sim/FrameCodec.h"

#include <fstream>
#include <iterator>

namespace termsim {

namespace {

// The station reads a response into a buffer of this many bytes.
constexpr std::size_t largestResponseFrame = 4095;

bool readFile(const std::string& path, std::optional<std::string>& content, std::string& error)
{
    if (path.empty())
        return true;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    content = std::move(bytes);
    return true;
}

bool fitsOneFrame(const std::optional<std::string>& content, std::size_t before, const std::string& path,
                  std::string& error)
{
    if (!content)
        return true;
    std::string payload(before, '0');
    payload += *content;
    if (encodeFrame(payload).size() <= largestResponseFrame)
        return true;
    error = path + " is too large for one response frame";
    return false;
}

} // namespace

bool loadStoredData(const TerminalSettings& settings, StoredData& stored, std::string& error)
{
    constexpr std::size_t statusAndCommand = 4;
    return readFile(settings.guaranteePath, stored.guarantee, error) &&
           readFile(settings.configDataPath, stored.configuration, error) &&
           fitsOneFrame(stored.guarantee, statusAndCommand + guaranteeFillerSize, settings.guaranteePath, error) &&
           fitsOneFrame(stored.configuration, statusAndCommand, settings.configDataPath, error);
}

} // namespace termsim
