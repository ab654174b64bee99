// The tag search over the head of a software file and the reading of numeric values.
#include "ramreport/TagSearch.h"

#include "Tlv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

using namespace ramtest;

namespace {

// Bytes in memory as a stream; counts reads so that a test can see the search stop.
class MemoryStream final : public ramreport::ByteStream {
public:
    explicit MemoryStream(std::string data) : data_(std::move(data)) {}

    bool readByte(std::uint8_t& byte) override
    {
        ++reads_;
        if (position_ >= data_.size())
            return false;
        byte = static_cast<std::uint8_t>(data_[static_cast<std::size_t>(position_++)]);
        return true;
    }
    std::uint64_t position() const override { return position_; }
    void seek(std::uint64_t position) override { position_ = position; }
    std::uint64_t size() const override { return data_.size(); }

    std::uint64_t reads() const { return reads_; }

private:
    std::string data_;
    std::uint64_t position_ = 0;
    std::uint64_t reads_ = 0;
};

std::vector<std::uint8_t> tagBytes(const std::string& tag)
{
    return {tag.begin(), tag.end()};
}

struct SearchCase {
    const char* what;
    std::string data;
    std::string wanted;
    std::optional<std::uint32_t> length; // nothing: not found
    std::uint64_t valueAt = 0;           // where the stream stands when found
};

void expectSearch(const SearchCase& c)
{
    SCOPED_TRACE(c.what);
    MemoryStream stream(c.data);
    const auto wanted = tagBytes(c.wanted);
    const auto length = ramreport::findTag(stream, wanted);
    ASSERT_EQ(length, c.length);
    if (length) {
        EXPECT_EQ(stream.position(), c.valueAt);
    }
    // Never a read outside the data: at most one failed read at its end.
    EXPECT_LE(stream.reads(), c.data.size() + 1);
}

const std::string kRw1 = tlv(kRwTag, bytes({0x2A})); // DF 65 01 2A

} // namespace

TEST(TagSearch, FindsObjectsAmongOthersAndInsideConstructedOnes)
{
    const std::vector<SearchCase> cases = {
        {"first object", kRw1, kRwTag, 1, 3},
        {"after a primitive object", filler(6) + kRw1, kRwTag, 1, 9},
        {"three-byte tag", tlv(kExternalSramTag, number(65536, 4)), kExternalSramTag, 4, 4},
        {"the template itself", tlv(kTemplateTag, filler(3) + kRw1), kTemplateTag, 7, 2},
        {"nested in a template", tlv(kTemplateTag, filler(3) + kRw1), kRwTag, 1, 8},
        {"two templates deep",
         tlv(kTemplateTag, filler(2) + tlv(bytes({0x30}), filler(4) + kRw1)), kRwTag, 1, 13},
        {"after a template without it", tlv(kTemplateTag, filler(5)) + kRw1, kRwTag, 1, 10},
        {"not inside a primitive value", tlv(bytes({0x5A}), kRw1), kRwTag, std::nullopt},
        {"other tag with the same first byte", tlv(bytes({0xDF, 0x66}), "x"), kRwTag, std::nullopt},
        {"longer tag sharing the first bytes", tlv(bytes({0xDF, 0x80, 0x80, 0x57}), "x"),
         kExternalSramTag, std::nullopt},
        {"last tag byte differs", tlv(bytes({0xDF, 0x80, 0x58}), "x"), kExternalSramTag,
         std::nullopt},
        {"empty data", "", kRwTag, std::nullopt},
        {"zero length value", tlv(kRwTag, ""), kRwTag, 0, 3},
    };
    for (const auto& c : cases)
        expectSearch(c);
}

TEST(TagSearch, ReadsEveryLengthForm)
{
    const std::string skip3 = std::string(3, '\x11');
    const std::vector<SearchCase> cases = {
        {"0x81", bytes({0x5A, 0x81, 3}) + skip3 + kRw1, kRwTag, 1, 9},
        {"0x82", bytes({0x5A, 0x82, 0, 3}) + skip3 + kRw1, kRwTag, 1, 10},
        {"0x83", bytes({0x5A, 0x83, 0, 0, 3}) + skip3 + kRw1, kRwTag, 1, 11},
        {"0x84", bytes({0x5A, 0x84, 0, 0, 0, 3}) + skip3 + kRw1, kRwTag, 1, 12},
        {"0x80 is zero", bytes({0x5A, 0x80}) + kRw1, kRwTag, 1, 5},
        {"0x85 ends the search", bytes({0x5A, 0x85, 0, 0, 0, 0, 3}) + skip3 + kRw1, kRwTag,
         std::nullopt},
        {"0xFF ends the search", bytes({0x5A, 0xFF}) + kRw1, kRwTag, std::nullopt},
        {"long form on the wanted tag", kRwTag + bytes({0x82, 0x01, 0x00}) + std::string(256, 'v'),
         kRwTag, 256, 5},
        {"long form on a template", kTemplateTag + bytes({0x81, 0x06}) + filler(2) + kRw1, kRwTag, 1,
         8},
    };
    for (const auto& c : cases)
        expectSearch(c);
}

TEST(TagSearch, ExaminesOnlyTheBudgetAtTheTopLevel)
{
    const std::vector<SearchCase> cases = {
        {"value ends on the last byte of the budget", filler(996) + kRw1, kRwTag, 1, 999},
        {"value byte past the budget", filler(997) + kRw1, kRwTag, std::nullopt},
        {"length byte past the budget", filler(998) + kRw1, kRwTag, std::nullopt},
        {"tag starts past the budget", filler(1000) + kRw1, kRwTag, std::nullopt},
        {"far past the budget", filler(3000) + kRw1, kRwTag, std::nullopt},
        {"after zero bytes within the budget", std::string(996, '\0') + kRw1, kRwTag, 1, 999},
        {"after zero bytes past the budget", std::string(998, '\0') + kRw1, kRwTag, std::nullopt},
        {"tag bytes running past the budget",
         bytes({0xDF}) + std::string(2000, '\x80') + bytes({0x65, 0x01, 0x2A}), kRwTag, std::nullopt},
        // A template's value is searched with its own length as the budget, and that
        // length must fit in what is left of the budget around it.
        {"inside a template ending on the last byte of the budget",
         tlv(kTemplateTag, filler(990) + kRw1), kRwTag, 1, 997},
        {"inside a template reaching past the budget", tlv(kTemplateTag, filler(1100) + kRw1),
         kRwTag, std::nullopt},
    };
    for (const auto& c : cases)
        expectSearch(c);
}

TEST(TagSearch, EndsOnTruncatedDataAndAbsurdLengths)
{
    const std::vector<SearchCase> cases = {
        {"end inside a tag", bytes({0xDF}), kRwTag, std::nullopt},
        {"end inside a long tag", bytes({0xDF, 0x80, 0x80}), kExternalSramTag, std::nullopt},
        {"end before the length", kRwTag, kRwTag, std::nullopt},
        {"end inside a long length", kRwTag + bytes({0x82, 0x01}), kRwTag, std::nullopt},
        {"wanted value cut short", kRwTag + bytes({0x04, 0, 0}), kRwTag, std::nullopt},
        {"skipped value cut short", bytes({0x5A, 0x10, 1, 2}), kRwTag, std::nullopt},
        {"absurd skipped length", bytes({0x5A, 0x84, 0xFF, 0xFF, 0xFF, 0xFF}) + kRw1, kRwTag,
         std::nullopt},
        {"absurd template length is not searched",
         kTemplateTag + bytes({0x84, 0xFF, 0xFF, 0xFF, 0xFF}) + kRw1, kRwTag, std::nullopt},
        {"absurd wanted length", kRwTag + bytes({0x84, 0x80, 0, 0, 0, 0x2A}), kRwTag, std::nullopt},
    };
    for (const auto& c : cases)
        expectSearch(c);
}

TEST(TagSearch, GoesOnAfterATemplateWhoseSearchFailed)
{
    // The template's last object reaches beyond the template: its search ends, and the
    // walk goes on right after the template, not after that object.
    const std::string overrun = kTemplateTag + bytes({0x03, 0x5A, 0x05, 0x00}) + kRw1;
    // A template cut short by a bad length form inside.
    const std::string badInside = tlv(kTemplateTag, bytes({0x5A, 0x85, 0, 0})) + kRw1;
    // A template ending in the middle of a header inside it.
    const std::string splitHeader = tlv(kTemplateTag, bytes({0xDF})) + kRw1;
    // An inner template claims bytes past its parent's end that the file holds: its
    // search, which would find RW 7, is not made; the walk goes on after the parent,
    // where another object covers that RW object, and finds RW 9.
    const std::string childPastParent = kTemplateTag
        + bytes({0x04, 0x30, 0x0A, 0x5A, 0x03, 0x5A, 0x05, 0x00}) + tlv(kRwTag, bytes({7}))
        + tlv(kRwTag, bytes({9}));
    // The wanted object itself claims bytes past its template's end.
    const std::string wantedPastParent =
        kTemplateTag + bytes({0x03}) + kRwTag + bytes({0x05}) + filler(5) + kRw1;
    const std::vector<SearchCase> cases = {
        {"inner object overruns the template", overrun, kRwTag, 1, 8},
        {"inner template overruns its parent", childPastParent, kRwTag, 1, 16},
        {"wanted object overruns its template", wantedPastParent, kRwTag, 1, 13},
        {"bad length form inside", badInside, kRwTag, 1, 9},
        {"header split by the template's end", splitHeader, kRwTag, 1, 6},
        {"empty template", tlv(kTemplateTag, "") + kRw1, kRwTag, 1, 5},
    };
    for (const auto& c : cases)
        expectSearch(c);
}

TEST(TagSearch, FindsTheTagDeeplyNestedAndSurvivesAbsurdNesting)
{
    std::string nested = kRw1;
    for (int level = 0; level < 40; ++level)
        nested = tlv(level % 2 ? kTemplateTag : bytes({0x30}), filler(2) + nested);
    expectSearch({"forty templates deep", nested, kRwTag, 1, nested.size() - 1});

    // A hundred thousand templates, each claiming everything up to the end of the data,
    // walked without a budget limit: the search must not recurse itself to death.
    const int depth = 100000;
    std::string headers;
    for (int level = 0; level < depth; ++level) {
        const std::size_t rest = static_cast<std::size_t>(depth - level - 1) * 6 + kRw1.size();
        headers += kTemplateTag + bytes({0x84}) + number(rest, 4);
    }
    MemoryStream deep(headers + kRw1);
    const auto wanted = tagBytes(kRwTag);
    EXPECT_EQ(ramreport::findTag(deep, wanted, static_cast<std::uint32_t>(deep.size())), 1u);
    EXPECT_EQ(deep.position(), deep.size() - 1);
    // Within the top-level budget the outermost of them is already too long.
    expectSearch({"a hundred thousand templates deep", headers + kRw1, kRwTag, std::nullopt});
}

TEST(TagSearch, SecondSearchStartsWhereTheFirstValueEnds)
{
    MemoryStream stream(tlv(kZiTag, bytes({2})) + tlv(kRwTag, bytes({7})) + tlv(kZiTag, bytes({9})));
    const auto rw = tagBytes(kRwTag);
    const auto zi = tagBytes(kZiTag);
    const auto rwLength = ramreport::findTag(stream, rw);
    ASSERT_TRUE(rwLength);
    EXPECT_EQ(ramreport::readNumber(stream, *rwLength), 7u);
    const auto ziLength = ramreport::findTag(stream, zi);
    ASSERT_TRUE(ziLength);
    EXPECT_EQ(ramreport::readNumber(stream, *ziLength), 9u);

    // The new search has a fresh budget of its own.
    MemoryStream far(tlv(kRwTag, bytes({1})) + filler(990) + tlv(kZiTag, bytes({5})));
    ASSERT_TRUE(ramreport::findTag(far, rw));
    ASSERT_EQ(ramreport::readNumber(far, 1), 1u);
    const auto farZi = ramreport::findTag(far, zi);
    ASSERT_TRUE(farZi);
    EXPECT_EQ(ramreport::readNumber(far, *farZi), 5u);
}

TEST(TagSearch, ReadsNumbersBigEndianKeepingTheLastFourBytes)
{
    struct NumberCase {
        const char* what;
        std::string value;
        std::optional<std::uint32_t> number;
    };
    const std::vector<NumberCase> cases = {
        {"empty", "", 0u},
        {"one byte", bytes({0x64}), 100u},
        {"three bytes", bytes({0x01, 0x00, 0x00}), 65536u},
        {"four bytes", bytes({0xFF, 0xFF, 0xFF, 0xFE}), 0xFFFFFFFEu},
        {"six bytes", bytes({0x01, 0x02, 0x00, 0x00, 0x10, 0x00}), 4096u},
        {"nine bytes", bytes({9, 9, 9, 9, 9, 0x12, 0x34, 0x56, 0x78}), 0x12345678u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryStream stream("ab" + c.value + "z");
        stream.seek(2);
        EXPECT_EQ(ramreport::readNumber(stream, static_cast<std::uint32_t>(c.value.size())), c.number);
        EXPECT_EQ(stream.position(), 2 + c.value.size());
    }

    MemoryStream cut(bytes({0x01, 0x02}));
    EXPECT_FALSE(ramreport::readNumber(cut, 3));
}
