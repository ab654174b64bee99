#pragma once
// A software file opened for reading as bytes: a kernel, application or configuration
// table image. Only regular files open; a directory, device or pipe that carries a
// `.bin` name counts as a file that cannot be opened, so reading never blocks or runs
// on without end.
#include "ramreport/ByteStream.h"

#include <array>
#include <string>

namespace ramreport {

class ImageFile final : public ByteStream {
public:
    ImageFile() = default;
    ~ImageFile() override;
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    // False when the file does not exist, cannot be read or is not a regular file.
    bool open(const std::string& path);
    bool isOpen() const { return descriptor_ >= 0; }

    bool readByte(std::uint8_t& byte) override;
    std::uint64_t position() const override { return position_; }
    void seek(std::uint64_t position) override { position_ = position; }
    std::uint64_t size() const override { return size_; }

private:
    bool fillBufferAt(std::uint64_t position);

    int descriptor_ = -1;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    std::array<std::uint8_t, 8192> buffer_{};
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferLength_ = 0;
};

} // namespace ramreport
