// Line settings texts of any content: an accepted text leaves every setting within its
// range and touches nothing but the four it names; written back in its plain form it
// gives the same settings; a refused text never leaves a setting out of range.
#include "FuzzCheck.h"
#include "comm/PortSettings.h"

#include <string>

namespace {

using CommPort::PortSettings;

bool inRange(const PortSettings& s)
{
    return s.baudIndex >= 0 && s.baudIndex <= 14 && s.parityIndex >= 0 && s.parityIndex <= 4 && s.dataBits >= 5 &&
           s.dataBits <= 8 && s.stopBitIndex >= 0 && s.stopBitIndex <= 2;
}

bool sameLine(const PortSettings& a, const PortSettings& b)
{
    return a.baudIndex == b.baudIndex && a.parityIndex == b.parityIndex && a.dataBits == b.dataBits &&
           a.stopBitIndex == b.stopBitIndex;
}

bool sameControls(const PortSettings& a, const PortSettings& b)
{
    return a.dtrMode == b.dtrMode && a.rtsMode == b.rtsMode && a.parityCheck == b.parityCheck &&
           a.ctsOutputFlow == b.ctsOutputFlow && a.dsrOutputFlow == b.dsrOutputFlow &&
           a.xonXoffOutput == b.xonXoffOutput && a.dsrSensitivity == b.dsrSensitivity;
}

std::string plainText(const PortSettings& s)
{
    static const char* const stopTexts[] = {"1", "1.5", "2"};
    return std::to_string(CommPort::baudRateOfIndex(s.baudIndex)) + ',' + "OENMS"[s.parityIndex] + ',' +
           std::to_string(s.dataBits) + ',' + stopTexts[s.stopBitIndex];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::FuzzInput input(data, size);
    PortSettings before;
    before.baudIndex = input.byte() % 15;
    before.parityIndex = input.byte() % 5;
    before.dataBits = 5 + input.byte() % 4;
    before.stopBitIndex = input.byte() % 3;
    before.dtrMode = 0;
    before.rtsMode = 3;
    before.xonXoffOutput = 1;
    const std::string_view text = input.restText();

    PortSettings settings = before;
    const bool accepted = CommPort::parseLineSettings(text, settings);
    FUZZ_CHECK(inRange(settings));
    FUZZ_CHECK(sameControls(settings, before));
    if (!accepted)
        return 0;

    // Only a text with something but commas and blanks can change a setting.
    if (text.find_first_not_of(", \t\n") == std::string_view::npos)
        FUZZ_CHECK(sameLine(settings, before));
    PortSettings again = settings;
    FUZZ_CHECK(CommPort::parseLineSettings(text, again) && sameLine(again, settings));
    PortSettings fresh;
    FUZZ_CHECK(CommPort::parseLineSettings(plainText(settings), fresh));
    FUZZ_CHECK(sameLine(fresh, settings));
    FUZZ_CHECK(CommPort::baudRateOfIndex(settings.baudIndex) > 0);
    return 0;
}
