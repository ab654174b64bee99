#pragma once
// The terminal types tree: every directory (name without extension) below the
// terminals directory is a family, every *.app download description is a model.
#include "data/ProfileFile.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace TestTree {

class TreeNode {
public:
    virtual ~TreeNode() = default;
    std::string name;    // directory name, or file name without its last extension
    std::string caption; // the text shown; always equal to name
};

using NodeList = std::vector<std::unique_ptr<TreeNode>>;

class Family final : public TreeNode {
public:
    NodeList children; // sub-families first, then models
};

class Model final : public TreeNode {
public:
    ProfileFile profile;         // path: the full path of the *.app file
    std::string relativeDir;     // relative to the terminals directory, with a final '/'; empty at the top
    std::string fileName;        // with its extension
};

// Appends the families found in terminalsDir/relativeDir (each filled with its own
// sub-families and models), sorted by byte value. Hidden (dot) names are skipped and
// directory symlinks are not followed. A directory that cannot be listed adds nothing.
void scanFamilies(const std::string& terminalsDir, const std::string& relativeDir, NodeList& out);

// Appends the models (*.app, extension matched without regard to letter case) found in
// terminalsDir/relativeDir, sorted by name in byte order. Files are not read.
void scanModels(const std::string& terminalsDir, const std::string& relativeDir, NodeList& out);

// Builds the whole tree below terminalsDir: families first, then models.
NodeList buildTree(const std::string& terminalsDir);

// Names from the top down to the node joined by '\'; empty when the node is not in the tree.
std::string nodePath(const NodeList& top, const TreeNode* node);

// The node named by a path with '\' or '/' between names (letter case counts), or null.
TreeNode* findByPath(const NodeList& top, std::string_view path);

// The document title for a current node: "Terminal_types" for none, a family's caption,
// a model's MODEL CODE (else its caption) followed by " (DESC)" when DESC is not empty.
std::string nodeTitle(TreeNode* node);

} // namespace TestTree
