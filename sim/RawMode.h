#pragma once
// Raw mode for a terminal descriptor: every byte passes unchanged in both directions.

namespace termsim {

// cfmakeraw plus CLOCAL and CREAD, applied at once; the speed is left as it is.
// False with errno set when the descriptor is no terminal or the change fails.
bool setRawMode(int fd);

} // namespace termsim
