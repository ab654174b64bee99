// The BER-TLV scanner on well-formed and malformed bytes: tag and length forms, objects
// that run past their container, containers scanned object by object. Every buffer is
// exactly as long as its bytes, so a read past the end fails the sanitizer build.
#include "loader/TlvScanner.h"
#include "configdata/DataObjects.h"

#include <gtest/gtest.h>

namespace {

using tlv::LengthForm;

struct TagCase {
    const char* name;
    Bytes bytes;
    std::optional<std::uint32_t> tag;
    std::size_t size;
};

class ReadTag : public testing::TestWithParam<TagCase> {};

TEST_P(ReadTag, OneToThreeBytes)
{
    const TagCase& c = GetParam();
    ExactBuffer buffer(c.bytes);
    std::optional<tlv::Tag> tag = tlv::readTag(buffer.view(), 0, c.bytes.size());
    ASSERT_EQ(tag.has_value(), c.tag.has_value());
    if (tag) {
        EXPECT_EQ(tag->value, *c.tag);
        EXPECT_EQ(tag->size, c.size);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, ReadTag,
                         testing::Values(TagCase{"OneByte", {0xFD, 0x82}, 0xFD, 1},
                                         TagCase{"TwoBytes", {0xFF, 0x5E, 0x10}, 0xFF5E, 2},
                                         TagCase{"ThreeBytes", {0xDF, 0x80, 0x08, 0x04}, 0xDF8008, 3},
                                         TagCase{"FourBytesRefused", {0xDF, 0x80, 0x80, 0x08, 0x01}, std::nullopt, 0},
                                         TagCase{"CutAfterFirstByte", {0xFF}, std::nullopt, 0},
                                         TagCase{"CutInsideThreeBytes", {0xDF, 0x80}, std::nullopt, 0},
                                         TagCase{"Nothing", {}, std::nullopt, 0}),
                         [](const auto& info) { return info.param.name; });

TEST(ReadTag, StopsAtTheLimitNotAtTheBufferEnd)
{
    ExactBuffer buffer({0x00, 0xDF, 0x80, 0x08});
    EXPECT_FALSE(tlv::readTag(buffer.view(), 1, 3));
    EXPECT_TRUE(tlv::readTag(buffer.view(), 1, 4));
    EXPECT_FALSE(tlv::readTag(buffer.view(), 4, 4));
    EXPECT_FALSE(tlv::readTag(buffer.view(), 9, 100)); // offset and limit beyond the bytes
}

struct LengthCase {
    const char* name;
    Bytes bytes;
    LengthForm form;
    std::optional<std::size_t> length;
    std::size_t size;
};

class ReadLength : public testing::TestWithParam<LengthCase> {};

TEST_P(ReadLength, OnlyInTheTagsForm)
{
    const LengthCase& c = GetParam();
    ExactBuffer buffer(c.bytes);
    std::optional<tlv::Length> length = tlv::readLength(buffer.view(), 0, c.bytes.size(), c.form);
    ASSERT_EQ(length.has_value(), c.length.has_value());
    if (length) {
        EXPECT_EQ(length->value, *c.length);
        EXPECT_EQ(length->size, c.size);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ReadLength,
    testing::Values(LengthCase{"Short", {0x05}, LengthForm::Short, 5, 1},
                    LengthCase{"ShortLargest", {0x7F}, LengthForm::Short, 0x7F, 1},
                    LengthCase{"ShortZero", {0x00}, LengthForm::Short, 0, 1},
                    LengthCase{"ShortRefuses81", {0x81, 0x05}, LengthForm::Short, std::nullopt, 0},
                    LengthCase{"ShortRefuses80", {0x80}, LengthForm::Short, std::nullopt, 0},
                    LengthCase{"OneByte", {0x81, 0xC8}, LengthForm::OneByte, 200, 2},
                    LengthCase{"OneByteRefusesShort", {0x05}, LengthForm::OneByte, std::nullopt, 0},
                    LengthCase{"OneByteCut", {0x81}, LengthForm::OneByte, std::nullopt, 0},
                    LengthCase{"TwoBytesMostSignificantFirst", {0x82, 0x01, 0x02}, LengthForm::TwoBytes, 0x0102, 3},
                    LengthCase{"TwoBytesRefuses81", {0x81, 0x01, 0x02}, LengthForm::TwoBytes, std::nullopt, 0},
                    LengthCase{"TwoBytesCut", {0x82, 0x01}, LengthForm::TwoBytes, std::nullopt, 0},
                    LengthCase{"AnyShort", {0x03}, LengthForm::AnyDefinite, 3, 1},
                    LengthCase{"Any81", {0x81, 0x90}, LengthForm::AnyDefinite, 0x90, 2},
                    LengthCase{"Any82", {0x82, 0xFF, 0xFF}, LengthForm::AnyDefinite, 0xFFFF, 3},
                    LengthCase{"AnyRefusesIndefinite", {0x80}, LengthForm::AnyDefinite, std::nullopt, 0},
                    LengthCase{"AnyRefuses83", {0x83, 0x00, 0x00, 0x01}, LengthForm::AnyDefinite, std::nullopt, 0},
                    LengthCase{"AnyCut", {0x82, 0x00}, LengthForm::AnyDefinite, std::nullopt, 0},
                    LengthCase{"Nothing", {}, LengthForm::AnyDefinite, std::nullopt, 0}),
    [](const auto& info) { return info.param.name; });

constexpr tlv::TagRule kRules[] = {
    {0xDF57, LengthForm::Short},
    {0xDF8009, LengthForm::Short},
    {0xFF7C, LengthForm::OneByte},
    {0xFF7F, LengthForm::TwoBytes},
};

TEST(ReadObject, PlacesTheValueBehindTagAndLength)
{
    Bytes bytes = join({{0xEE}, object82(0xFF7F, {1, 2, 3}), {0xEE}});
    ExactBuffer buffer(bytes);
    std::optional<tlv::Object> object = tlv::readObject(buffer.view(), 1, bytes.size(), kRules);
    ASSERT_TRUE(object);
    EXPECT_EQ(object->tag, 0xFF7Fu);
    EXPECT_EQ(object->start, 1u);
    EXPECT_EQ(object->valueOffset, 6u);
    EXPECT_EQ(object->valueLength, 3u);
    EXPECT_EQ(object->end(), 9u);
}

struct ObjectCase {
    const char* name;
    Bytes bytes;
};

class UnreadableObject : public testing::TestWithParam<ObjectCase> {};

TEST_P(UnreadableObject, IsNotAnObject)
{
    ExactBuffer buffer(GetParam().bytes);
    EXPECT_FALSE(tlv::readObject(buffer.view(), 0, GetParam().bytes.size(), kRules));
}

INSTANTIATE_TEST_SUITE_P(Malformed, UnreadableObject,
                         testing::Values(ObjectCase{"TagNotListed", {0xDF, 0x80, 0x05, 0x01, 0x00}},
                                         ObjectCase{"ValueRunsPastTheEnd", {0xDF, 0x57, 0x03, 0x01, 0x02}},
                                         ObjectCase{"AbsurdTwoByteLength", {0xFF, 0x7F, 0x82, 0xFF, 0xFF, 0x00}},
                                         ObjectCase{"LengthInTheWrongForm", {0xFF, 0x7C, 0x02, 0x01, 0x02}},
                                         ObjectCase{"HeaderCut", {0xFF, 0x7F, 0x82, 0x00}},
                                         ObjectCase{"OnlyATag", {0xDF, 0x80, 0x09}}),
                         [](const auto& info) { return info.param.name; });

TEST(ReadObject, AValueReachingBeyondTheLimitIsRefusedEvenInsideTheBuffer)
{
    Bytes bytes = join({shortObject(0xDF57, {1, 2, 3, 4}), {9, 9, 9}});
    ExactBuffer buffer(bytes);
    EXPECT_FALSE(tlv::readObject(buffer.view(), 0, 6, kRules));
    EXPECT_TRUE(tlv::readObject(buffer.view(), 0, 7, kRules));
}

std::vector<std::uint32_t> tagsOf(const std::vector<tlv::Object>& objects)
{
    std::vector<std::uint32_t> tags;
    for (const tlv::Object& o : objects)
        tags.push_back(o.tag);
    return tags;
}

struct ScanCase {
    const char* name;
    Bytes value; // the container's value
    std::vector<std::uint32_t> tags;
};

class ScanContainer : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanContainer, ObjectByObjectUntilTheEndOrAnUnlistedTag)
{
    const ScanCase& c = GetParam();
    Bytes bytes = object82(0xFF79, c.value);
    ExactBuffer buffer(bytes);
    tlv::Object container{0xFF79, 0, 5, c.value.size()};
    EXPECT_EQ(tagsOf(tlv::scanContainer(buffer.view(), container, kRules)), c.tags);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ScanContainer,
    testing::Values(
        ScanCase{"Empty", {}, {}},
        ScanCase{"AllForms",
                 join({shortObject(0xDF57, {1}), object81(0xFF7C, {2, 3}), object82(0xFF7F, {}),
                       shortObject(0xDF8009, {4, 5, 6, 7})}),
                 {0xDF57, 0xFF7C, 0xFF7F, 0xDF8009}},
        ScanCase{"StopsAtAnUnlistedTag",
                 join({shortObject(0xDF57, {1}), shortObject(0xDF8008, {1}), shortObject(0xDF8009, {1})}),
                 {0xDF57}},
        ScanCase{"StopsAtALengthInTheWrongForm", join({shortObject(0xDF57, {1}), object81(0xDF8009, {1})}), {0xDF57}},
        ScanCase{"LastObjectCut", join({shortObject(0xDF57, {1}), {0xDF, 0x80, 0x09, 0x04, 0x20, 0x07}}), {0xDF57}},
        ScanCase{"HeaderCutAtTheEnd", join({shortObject(0xDF57, {1}), {0xFF, 0x7F, 0x82}}), {0xDF57}},
        ScanCase{
            "PaddingEndsTheScan", join({shortObject(0xDF57, {1}), {0x00, 0x00}, shortObject(0xDF57, {2})}), {0xDF57}},
        ScanCase{"EmptyValuesAreObjects", join({shortObject(0xDF57, {}), shortObject(0xDF57, {})}), {0xDF57, 0xDF57}}),
    [](const auto& info) { return info.param.name; });

TEST(ScanContainer, NestedObjectMayNotReachPastItsContainer)
{
    // The inner object claims 4 bytes, its container holds only 3 of them; the bytes
    // after the container must not be taken for the rest.
    Bytes inner = {0xDF, 0x57, 0x04, 0x01, 0x02, 0x03};
    Bytes bytes = join({object82(0xFF7F, inner), {0x04, 0x05}});
    ExactBuffer buffer(bytes);
    tlv::Object container{0xFF7F, 0, 5, inner.size()};
    EXPECT_TRUE(tlv::scanContainer(buffer.view(), container, kRules).empty());
}

TEST(ScanContainer, AContainerClaimingMoreThanTheBufferHoldsGivesNothing)
{
    Bytes bytes = shortObject(0xDF57, {1});
    ExactBuffer buffer(bytes);
    EXPECT_TRUE(tlv::scanContainer(buffer.view(), tlv::Object{0xFF79, 0, 0, 100}, kRules).empty());
    EXPECT_TRUE(tlv::scanContainer(buffer.view(), tlv::Object{0xFF79, 0, 50, 1}, kRules).empty());
    EXPECT_TRUE(tlv::scanContainer(buffer.view(), tlv::Object{0xFF79, 0, 2, SIZE_MAX}, kRules).empty());
}

TEST(Occurrences, LastWinsFirstFiveOfAMany)
{
    Bytes value;
    for (std::uint8_t i = 1; i <= 7; ++i) {
        Bytes slot = shortObject(0xDF8009, {i});
        Bytes companion = shortObject(0xDF57, {static_cast<std::uint8_t>(0x10 + i)});
        value.insert(value.end(), slot.begin(), slot.end());
        value.insert(value.end(), companion.begin(), companion.end());
    }
    Bytes bytes = shortObject(0xFF5E, value);
    ExactBuffer buffer(bytes);
    std::vector<tlv::Object> objects = tlv::scanContainer(buffer.view(), {0xFF5E, 0, 3, value.size()}, kRules);

    std::optional<tlv::Object> last = tlv::lastOccurrence(objects, 0xDF57);
    ASSERT_TRUE(last);
    EXPECT_EQ(bytes[last->valueOffset], 0x17);
    EXPECT_FALSE(tlv::lastOccurrence(objects, 0xFF7F));

    std::vector<tlv::Object> slots = tlv::firstOccurrences(objects, 0xDF8009, 5);
    ASSERT_EQ(slots.size(), 5u);
    for (std::size_t i = 0; i < slots.size(); ++i)
        EXPECT_EQ(bytes[slots[i].valueOffset], i + 1);
    EXPECT_EQ(tlv::firstOccurrences(objects, 0xDF8009, 2).size(), 2u);
}

TEST(FindObject, TheFirstOccurrenceOfTheTagBytesMustBeWhole)
{
    const tlv::TagRule guarantee{0xFF5E, LengthForm::Short};
    Bytes whole = join({{0x01, 0x02}, shortObject(0xFF5E, {0xAA}), shortObject(0xFF5E, {0xBB})});
    ExactBuffer wholeBuffer(whole);
    std::optional<tlv::Object> found = tlv::findObject(wholeBuffer.view(), 0, guarantee);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->start, 2u);
    // Searching from behind the first occurrence finds the second.
    found = tlv::findObject(wholeBuffer.view(), 3, guarantee);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->start, 6u);

    for (const Bytes& bytes : {Bytes{0x01, 0xFF, 0x5E, 0x05, 0x01}, Bytes{0xFF, 0x5E}, Bytes{0x01, 0xFF},
                               Bytes{0xFF, 0x5E, 0x81, 0x01, 0x00}, Bytes{}}) {
        ExactBuffer buffer(bytes);
        EXPECT_FALSE(tlv::findObject(buffer.view(), 0, guarantee));
    }
    ExactBuffer buffer(whole);
    EXPECT_FALSE(tlv::findObject(buffer.view(), whole.size(), guarantee));
    EXPECT_FALSE(tlv::findObject(buffer.view(), whole.size() + 10, guarantee));
}

} // namespace
