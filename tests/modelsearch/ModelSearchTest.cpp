// Folding for the search, the search text taken from an answer, and which models of a
// tree a text finds, in which order.
#include "app/ModelSearch.h"
#include "modelsearch/SearchTree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace {

using Names = std::vector<std::string>;

TEST(FoldForSearch, FoldsAccentedVowelsAndUpperCasesLetters)
{
    struct Case {
        std::string text, folded;
    };
    const Case cases[] = {
        // Every accented vowel of the table, lower case then upper case, by accent.
        {"\xE1\xE9\xED\xF3\xFA\xFD\xE0\xE8\xEC\xF2\xF9\xE2\xEA\xEE\xF4\xFB\xE4\xEB\xEF\xF6\xFC",
         "AEIOUYAEIOUAEIOUAEIOU"},
        {"\xC1\xC9\xCD\xD3\xDA\xDD\xC0\xC8\xCC\xD2\xD9\xC2\xCA\xCE\xD4\xDB\xC4\xCB\xCF\xD6\xDC",
         "AEIOUYAEIOUAEIOUAEIOU"},
        {"abcxyz ABC 0129 /-_", "ABCXYZ ABC 0129 /-_"},
        // n with tilde, c with cedilla, y with diaeresis and the like stay as they are.
        {"ni\xF1o \xD1 \xE7\xC7 \xFF \xE6", "NI\xF1O \xD1 \xE7\xC7 \xFF \xE6"},
        {"Escritorio D\xE9sk", "ESCRITORIO DESK"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(foldForSearch(c.text), c.folded) << c.text;
}

TEST(SearchTextFromAnswer, TrimsTheEndAndCutsScannedLabelsToTheirCode)
{
    struct Case {
        std::string answer, text;
    };
    const Case cases[] = {
        {"12345678/01", "12345678"},          // eleven characters: a label code
        {"ABCDEFGHIJ/XY", "ABCDEFGHIJ"},      // longer codes too, letters included
        {"1234567/01", "1234567/01"},         // ten characters: searched whole
        {"123456789/0", "123456789/0"},       // the "/" is not third from the end
        {"12345678/01 \t\r\n", "12345678"},   // trimmed first, then cut
        {"  desk \t\n", "  desk"},            // leading blanks remain
        {" \t\r\n", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(searchTextFromAnswer(c.answer), c.text) << c.answer;
}

TEST(ModelSearch, FindsModelsByNameFolderCodeOrDescriptionInTreeOrder)
{
    SearchTree tree;
    struct Case {
        std::string text;
        Names found;
    };
    const Case cases[] = {
        {"desk", {"Counter/Sub/D100.app"}},                               // description, accent folded
        {"ESCRITORIO D\xC9SK", {"Counter/Sub/D100.app"}},                 // accented search text
        {"nino", {}},                                                     // n with tilde is not n
        {"NI\xD1O", {"Mobile/M300.app"}},
        {"ni\xF1o", {}},                                                  // only a-z change case
        {"c200", {"Counter/C200.app"}},                                   // name and code: found once
        {"1234567", {"Counter/Sub/D100.app", "Counter/Sub/E10.app"}},     // code
        // The folder of a family finds everything inside it and below it, sub-families first.
        {"counter", {"Counter/Sub/D100.app", "Counter/Sub/E10.app", "Counter/C200.app"}},
        // A family's folder and a model's code: only models, families before top-level models.
        {"mobile", {"Mobile/M300.app", "Top.app"}},
        {"zzz", {}},
    };
    for (const Case& c : cases) {
        std::vector<TestTree::Model*> found;
        ModelSearch(c.text, tree.doc.topLevelNodes(), found);
        EXPECT_EQ(SearchTree::listed(found), c.found) << c.text;
    }
}

TEST(ModelSearch, AppendsToTheResultsItIsGiven)
{
    SearchTree tree;
    std::vector<TestTree::Model*> found;
    ModelSearch("m300", tree.doc.topLevelNodes(), found);
    ModelSearch("level", tree.doc.topLevelNodes(), found);
    EXPECT_EQ(SearchTree::listed(found), (Names{"Mobile/M300.app", "Top.app"}));
}

TEST(ModelSearch, AModelWhoseDescriptionCannotBeReadIsFoundByNameOnly)
{
    SearchTree tree;
    ASSERT_TRUE(std::filesystem::remove(tree.dir.file("terminals/Mobile/M300.app")));
    std::vector<TestTree::Model*> byCode, byName;
    ModelSearch("NI\xD1O", tree.doc.topLevelNodes(), byCode);
    ModelSearch("M300", tree.doc.topLevelNodes(), byName);
    EXPECT_TRUE(byCode.empty());
    EXPECT_EQ(SearchTree::listed(byName), (Names{"Mobile/M300.app"}));
}

} // namespace
