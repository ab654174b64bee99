#pragma once
// The whole run: one static RAM report for every family below the files directory.
#include <cstdio>
#include <string>

namespace ramreport {

// Where the families lie, relative to the working directory.
inline constexpr const char* kFilesDirectory = "../files/";

// Reports every family of filesDirectory (ending in '/') in name order, with messages
// on console. The process exit status: 0 after the families were gone through, 1 when
// the files directory could not be listed.
int reportAllFamilies(const std::string& filesDirectory, std::FILE* console);

} // namespace ramreport
