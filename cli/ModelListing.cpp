#include "cli/ModelListing.h"

#include "platform/CodePage.h"

#include <string>

namespace {

void listBelow(const TestTree::NodeList& nodes, const std::string& prefix, std::FILE* stream)
{
    for (const auto& node : nodes) {
        std::string path = prefix + node->name;
        if (auto* family = dynamic_cast<TestTree::Family*>(node.get())) {
            listBelow(family->children, path + "/", stream);
        } else if (auto* model = dynamic_cast<TestTree::Model*>(node.get())) {
            std::string line = path + "\t" + model->profile.value("MODEL", "CODE") + "\t" +
                               model->profile.value("MODEL", "DESC") + "\n";
            std::fputs(platform::cp1252ToUtf8(line).c_str(), stream);
        }
    }
}

} // namespace

void listModels(const TestTree::NodeList& top, std::FILE* stream)
{
    listBelow(top, "", stream);
}
