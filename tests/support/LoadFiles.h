#pragma once
// Contents for the files a test terminal is loaded with: Intel HEX data records and
// binary images, each made from a seed so that two files never look alike.
#include <cstddef>
#include <string>

// count Intel HEX data records of four bytes each, CR LF ended, without an end record.
std::string hexLines(int count, int seed);
// size bytes of every value, different for each seed.
std::string binaryContent(std::size_t size, int seed);
