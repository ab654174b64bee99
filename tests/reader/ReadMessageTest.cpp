// The reader network server's READ messages: tokens, quoting, escapes, letter case.
#include "comm/ReadMessage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct Case {
    const char* line;
    std::optional<std::string> code;
};

TEST(ReadMessage, CodesAndMalformedMessages)
{
    const Case cases[] = {
        {"READ 3 12345", "12345"},
        {"READ 3 abc", "ABC"},
        {"READ 3 'abc'", "abc"},
        {"READ 3 \"abc\"", "abc"},
        {"READ 3 'it\\'s'", "it's"},
        {"READ 3 \"say \\\"hi\\\"\"", "say \"hi\""},
        {"READ 3 'a\\\\'", "a\\"},                // an escaped backslash does not hide the closing quote
        {"READ 3 'two words'", "two words"},
        {"READ 3 \"mixed 'quotes'\"", "mixed 'quotes'"},
        {"READ\t3  \t x9y \r", "X9Y"},
        {"READ '3 4' abc", "ABC"},                // a quoted second token, then a blank
        {"read 3 abc", "ABC"},                    // the first token is taken in upper case
        {"READ 3 abc def", "ABC"},                // later tokens are ignored
        {"READ 3 ''", ""},
        {"READ 3 'abc", std::nullopt},            // no closing quote
        {"READ 3 'abc\\'", std::nullopt},         // the only closing quote is escaped
        {"READ 3", std::nullopt},
        {"READ", std::nullopt},
        {"", std::nullopt},
        {"READING 3 X", std::nullopt},
        {"'READ' 3 X", "X"},                      // a quoted token keeps its case
        {"'read' 3 X", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BarcodeReader::parseReadMessage(c.line), c.code) << c.line;
}

} // namespace
