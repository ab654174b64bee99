#pragma once
// The static RAM report of one terminal family: the external SRAM from the family's
// configuration table, one row per pre-kernel and kernel image and per application, and
// the family's totals, written to "<family>.txt" in the family's directory.
#include <cstdio>
#include <string>

namespace ramreport {

// filesDirectory ends in '/'. Messages for the operator (a report that cannot be
// written, an image that cannot be opened or lacks its data sizes) go to console.
void reportFamily(const std::string& filesDirectory, const std::string& family,
                  std::FILE* console);

} // namespace ramreport
