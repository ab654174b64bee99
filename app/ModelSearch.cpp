// Model search: accent folding, the operator's answer as a search text, and the walk
// over the terminal types tree.
#include "app/ModelSearch.h"

#include "app/InterfaceThread.h"
#include "app/OrvaneDoc.h"

#include <array>
#include <cstddef>
#include <mutex>

namespace {

// Accented vowels in CP1252 and the vowels they fold to: lower case grouped by accent
// (acute with y, grave, circumflex, diaeresis), then upper case in the same order.
constexpr std::string_view kAccented = "\xE1\xE9\xED\xF3\xFA\xFD"
                                       "\xE0\xE8\xEC\xF2\xF9"
                                       "\xE2\xEA\xEE\xF4\xFB"
                                       "\xE4\xEB\xEF\xF6\xFC"
                                       "\xC1\xC9\xCD\xD3\xDA\xDD"
                                       "\xC0\xC8\xCC\xD2\xD9"
                                       "\xC2\xCA\xCE\xD4\xDB"
                                       "\xC4\xCB\xCF\xD6\xDC";
constexpr std::string_view kPlain = "AEIOUYAEIOUAEIOUAEIOUAEIOUYAEIOUAEIOUAEIOU";
static_assert(kAccented.size() == kPlain.size());

constexpr std::array<char, 256> makeFoldTable()
{
    std::array<char, 256> table{};
    for (std::size_t c = 0; c < table.size(); ++c)
        table[c] = static_cast<char>(c);
    for (std::size_t i = 0; i < kAccented.size(); ++i)
        table[static_cast<unsigned char>(kAccented[i])] = kPlain[i];
    for (char c = 'a'; c <= 'z'; ++c)
        table[static_cast<unsigned char>(c)] = static_cast<char>(c - 'a' + 'A');
    return table;
}

constexpr std::array<char, 256> kFold = makeFoldTable();

// A scanned label carries the code, a "/" and two more characters.
constexpr std::size_t kLabelSuffixLength = 3;
constexpr std::size_t kShortestLabelCode = 11;

bool contains(const std::string& value, const std::string& foldedText)
{
    return foldForSearch(value).find(foldedText) != std::string::npos;
}

bool modelMatches(TestTree::Model& model, const std::string& foldedText)
{
    return contains(model.name, foldedText) || contains(model.relativeDir, foldedText)
        || contains(model.profile.value("MODEL", "CODE"), foldedText)
        || contains(model.profile.value("MODEL", "DESC"), foldedText);
}

void searchFolded(const std::string& foldedText, const TestTree::NodeList& nodes,
                  std::vector<TestTree::Model*>& results)
{
    for (const auto& node : nodes) {
        if (auto* family = dynamic_cast<TestTree::Family*>(node.get()))
            searchFolded(foldedText, family->children, results);
        else if (auto* model = dynamic_cast<TestTree::Model*>(node.get()); model && modelMatches(*model, foldedText))
            results.push_back(model);
    }
}

} // namespace

std::string foldForSearch(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        c = kFold[static_cast<unsigned char>(c)];
    return folded;
}

std::string searchTextFromAnswer(std::string_view answer)
{
    const std::size_t end = answer.find_last_not_of(" \t\r\n");
    std::string_view text = end == std::string_view::npos ? std::string_view{} : answer.substr(0, end + 1);
    if (text.size() >= kShortestLabelCode && text[text.size() - kLabelSuffixLength] == '/')
        text.remove_suffix(kLabelSuffixLength);
    return std::string(text);
}

void ModelSearch(std::string_view text, const TestTree::NodeList& nodes, std::vector<TestTree::Model*>& results)
{
    searchFolded(foldForSearch(text), nodes, results);
}

// The search command of the document. It runs only while no download runs: the jobs
// read the current model's description, which a new current node would replace.
void OrvaneDoc::searchModel()
{
    if (busy() || !interfaceThread_)
        return;
    std::string answer;
    if (!readText("Introduce the text to look for", answer))
        return;
    const std::string text = searchTextFromAnswer(answer);
    if (text.empty())
        return;

    std::vector<TestTree::Model*> found;
    {
        // Looking at a description loads it; no other thread may load it meanwhile.
        std::scoped_lock lock(documentLock_);
        ModelSearch(text, tree_, found);
    }
    TestTree::Model* chosen = nullptr;
    if (found.empty()) {
        interfaceThread_->showMessage("Model nonfound", kApplicationTitle);
    } else if (found.size() == 1) {
        chosen = found.front();
    } else {
        std::size_t index = 0;
        if (interfaceThread_->chooseModel(found, index) && index < found.size())
            chosen = found[index];
    }
    if (!chosen)
        return;
    setCurrentNode(chosen);
    updateAllViews();
}
