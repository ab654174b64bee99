#pragma once
// A small terminals directory for the model search, with families, a sub-family, codes
// and descriptions (one written in UTF-8 with accents), and a document built on it.
//
//   Counter/Sub/D100.app   CODE 12345678     DESC Escritorio Désk
//   Counter/Sub/E10.app    CODE 1234567/01   DESC Esquina
//   Counter/C200.app       CODE C200         DESC Countertop
//   Mobile/M300.app        CODE M300         DESC NIÑO pack
//   Top.app                CODE MOBILE1      DESC Top level
#include "app/OrvaneDoc.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <string>
#include <vector>

struct SearchTree {
    SearchTree();

    // Every model's relative folder and file name, as the chooser lists them.
    static std::vector<std::string> listed(const std::vector<TestTree::Model*>& models);
    // The current node's relative folder and file name; empty when it is not a model.
    std::string current() const;

    TempDir dir;
    platform::SettingsStore settings;
    OrvaneDoc doc{settings};
};
