#include "modelsearch/SearchTree.h"

namespace {

std::string description(const std::string& code, const std::string& desc)
{
    return "[MODEL]\nCODE=" + code + "\nDESC=" + desc + "\n[FILES]\nKERNEL=kernel.bin\n";
}

std::string settingsFor(TempDir& dir)
{
    const std::string terminals = dir.mkdir("terminals");
    dir.write("terminals/Counter/Sub/D100.app", description("12345678", "Escritorio D\xC3\xA9sk"));
    dir.write("terminals/Counter/Sub/E10.app", description("1234567/01", "Esquina"));
    dir.write("terminals/Counter/C200.app", description("C200", "Countertop"));
    dir.write("terminals/Mobile/M300.app", description("M300", "NI\xC3\x91O pack"));
    dir.write("terminals/Top.app", description("MOBILE1", "Top level"));
    return dir.write("orvane.conf", "[Settings]\nDirEqui=" + terminals + "\n");
}

} // namespace

SearchTree::SearchTree() : settings(settingsFor(dir))
{
    doc.reload();
}

std::vector<std::string> SearchTree::listed(const std::vector<TestTree::Model*>& models)
{
    std::vector<std::string> names;
    for (const TestTree::Model* model : models)
        names.push_back(model->relativeDir + model->fileName);
    return names;
}

std::string SearchTree::current() const
{
    const auto* model = dynamic_cast<const TestTree::Model*>(doc.currentNode());
    return model ? model->relativeDir + model->fileName : std::string{};
}
