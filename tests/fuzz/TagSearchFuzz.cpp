// memtabler's tag search over any head of a software file: a tag it reports found is
// really there, right before the stream's position and followed by a value of the
// length it answers, whole inside the data and inside the search's budget; reading
// that value leaves the stream at its end.
#include "FuzzCheck.h"
#include "ramreport/TagSearch.h"

#include <algorithm>
#include <span>
#include <vector>

namespace {

class MemoryStream final : public ramreport::ByteStream {
public:
    explicit MemoryStream(std::span<const std::uint8_t> data) : data_(data) {}

    bool readByte(std::uint8_t& byte) override
    {
        if (position_ >= data_.size())
            return false;
        byte = data_[static_cast<std::size_t>(position_++)];
        return true;
    }
    std::uint64_t position() const override { return position_; }
    void seek(std::uint64_t position) override { position_ = position; }
    std::uint64_t size() const override { return data_.size(); }

private:
    std::span<const std::uint8_t> data_;
    std::uint64_t position_ = 0;
};

// A header of the wanted tag and a length of this value ends right at position.
bool headerEndsAt(std::span<const std::uint8_t> data, std::size_t position, ramreport::TagBytes wanted,
                  std::uint32_t length)
{
    for (std::size_t lengthBytes = 0; lengthBytes <= 4; ++lengthBytes) {
        const std::size_t headerSize = wanted.size() + 1 + lengthBytes;
        if (position < headerSize)
            break;
        const std::size_t at = position - headerSize;
        const std::uint8_t form = data[at + wanted.size()];
        std::uint64_t value = 0;
        if (lengthBytes == 0) {
            if (form > 0x80)
                continue;
        } else if (form != 0x80 + lengthBytes) {
            continue;
        }
        if (form < 0x80)
            value = form;
        for (std::size_t i = 0; i < lengthBytes; ++i)
            value = value << 8 | data[at + wanted.size() + 1 + i];
        if (static_cast<std::uint32_t>(value) == length &&
            std::equal(wanted.begin(), wanted.end(), data.begin() + static_cast<std::ptrdiff_t>(at)))
            return true;
    }
    return false;
}

void search(std::span<const std::uint8_t> data, ramreport::TagBytes wanted, std::uint32_t budget,
            std::uint64_t start)
{
    MemoryStream stream(data);
    stream.seek(start);
    const std::optional<std::uint32_t> length = ramreport::findTag(stream, wanted, budget);
    if (!length)
        return;
    const std::uint64_t position = stream.position();
    FUZZ_CHECK(position >= start && position <= data.size());
    FUZZ_CHECK(*length <= data.size() - position);
    // No value outside the budget is taken, nested ones included.
    FUZZ_CHECK(position + *length <= start + budget);
    FUZZ_CHECK(headerEndsAt(data, static_cast<std::size_t>(position), wanted, *length));

    const std::optional<std::uint32_t> number = ramreport::readNumber(stream, *length);
    FUZZ_CHECK(number.has_value());
    FUZZ_CHECK(stream.position() == position + *length);
    std::uint32_t expected = 0;
    for (std::uint64_t i = position; i < position + *length; ++i)
        expected = expected << 8 | data[static_cast<std::size_t>(i)];
    FUZZ_CHECK(*number == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::FuzzInput input(data, size);
    const std::uint8_t knobs = input.byte();
    const std::uint8_t own[] = {input.byte(), input.byte(), input.byte()};
    const auto head = input.rest();
    const std::uint64_t start = knobs % 4 < head.size() ? knobs % 4 : 0;
    search(head, ramreport::kExternalSramTag, ramreport::kTagSearchBudget, start);
    search(head, ramreport::kRwDataTag, ramreport::kTagSearchBudget, start);
    search(head, ramreport::kZiDataTag, ramreport::kTagSearchBudget, start);
    search(head, ramreport::kFileTypeTag, ramreport::kTagSearchBudget, start);
    search(head, ramreport::TagBytes(own, 1 + (knobs >> 2) % 3), 1 + (knobs >> 4) * 64u, start);
    // A value read past the end of the data is refused without moving beyond it.
    MemoryStream stream(head);
    FUZZ_CHECK(!ramreport::readNumber(stream, static_cast<std::uint32_t>(head.size() + 1)));
    return 0;
}
