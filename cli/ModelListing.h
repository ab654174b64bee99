#pragma once
#include "data/TerminalTree.h"

#include <cstdio>

// Prints every model's node path ('/' between names) with its MODEL CODE and DESC,
// tab-separated, one model a line.
void listModels(const TestTree::NodeList& top, std::FILE* stream);
