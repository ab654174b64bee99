#include "loader/TextLineReader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool TextLineReader::open(const std::string& path)
{
    fd_.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd_)
        return false;
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0 || S_ISDIR(st.st_mode)) {
        fd_.reset();
        return false;
    }
    begin_ = end_ = 0;
    eof_ = skipLineFeed_ = false;
    return true;
}

bool TextLineReader::fill()
{
    if (eof_ || !fd_)
        return false;
    if (begin_ > 0) {
        std::copy(buffer_.begin() + static_cast<long>(begin_), buffer_.begin() + static_cast<long>(end_), buffer_.begin());
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size())
        buffer_.resize(buffer_.size() * 2);
    for (;;) {
        ssize_t n = ::read(fd_.get(), buffer_.data() + end_, buffer_.size() - end_);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            eof_ = true;
            return false;
        }
        end_ += static_cast<std::size_t>(n);
        return true;
    }
}

bool TextLineReader::next(std::string& line)
{
    line.clear();
    std::size_t scanned = begin_;
    for (;;) {
        if (skipLineFeed_) {
            if (begin_ == end_ && !fill())
                return false;
            if (buffer_[begin_] == '\n')
                ++begin_;
            skipLineFeed_ = false;
            scanned = begin_;
        }
        for (; scanned < end_; ++scanned) {
            char c = buffer_[scanned];
            if (c == '\n' || c == '\r') {
                line.assign(buffer_.data() + begin_, scanned - begin_);
                begin_ = scanned + 1;
                skipLineFeed_ = (c == '\r');
                return true;
            }
        }
        std::size_t offset = scanned - begin_;
        if (!fill()) {
            if (begin_ == end_)
                return false;
            line.assign(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
            return true;
        }
        scanned = begin_ + offset;
    }
}
