#pragma once
// Finding a model of the terminal types tree by a typed or scanned text: the text is
// looked for in each model's name, folder, code and description, ignoring letter case
// and the accents on vowels.
#include "data/TerminalTree.h"

#include <string>
#include <string_view>
#include <vector>

// The caption of the station's message boxes that name none of their own ("Model
// nonfound", the chooser's complaints): the application title.
inline constexpr char kApplicationTitle[] = "orvane";

// The text in the form it is compared in (CP1252): accented vowels (acute, grave,
// circumflex, diaeresis; y with acute) become their plain vowel, then a-z become A-Z.
// Other characters, such as n with tilde or c with cedilla, are left as they are.
std::string foldForSearch(std::string_view text);

// The operator's answer as the text to look for: trailing blanks, tabs and line ends
// removed, and a scanned label code of the form code "/" two characters (11 characters
// or more in all) cut down to its code.
std::string searchTextFromAnswer(std::string_view answer);

// Appends to results every model below nodes that matches text, in depth-first order
// of the tree (a family's models before the models that follow the family). A model
// matches when the folded text is contained in the folded value of its name, its
// relative folder, its MODEL CODE or its MODEL DESC. Families are never results.
void ModelSearch(std::string_view text, const TestTree::NodeList& nodes, std::vector<TestTree::Model*>& results);
