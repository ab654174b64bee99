#pragma once
// Writing a whole buffer to a blocking descriptor.
#include <cstddef>

namespace termsim {

// Writes every byte, going on after short writes and signals; false with errno set on
// an error.
bool writeAll(int fd, const void* data, std::size_t size);

} // namespace termsim
