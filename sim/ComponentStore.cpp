#include "sim/ComponentStore.h"

#include "platform/FileDescriptor.h"
#include "platform/SystemError.h"
#include "sim/WriteAll.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace termsim {

std::string_view kindName(ComponentKind kind)
{
    switch (kind) {
    case ComponentKind::Config: return "config";
    case ComponentKind::Prekernel: return "prekernel";
    case ComponentKind::Kernel: return "kernel";
    case ComponentKind::App: return "app";
    }
    return "app";
}

void ComponentStore::open(ComponentKind kind, std::string header)
{
    abandon();
    open_ = true;
    kind_ = kind;
    header_ = std::move(header);
    data_.clear();
    size_ = 0;
}

void ComponentStore::append(std::string_view data)
{
    if (!open_)
        return;
    if (!directory_.empty())
        data_ += data;
    size_ += data.size();
}

bool ComponentStore::abandon()
{
    if (!open_)
        return false;
    open_ = false;
    header_.clear();
    data_.clear();
    data_.shrink_to_fit();
    size_ = 0;
    return true;
}

ComponentStore::Closed ComponentStore::close()
{
    Closed closed;
    if (!open_) {
        closed.failure = "no component open";
        return closed;
    }
    char number[16];
    std::snprintf(number, sizeof number, "%02u", closedCount_ + 1);
    closed.name = std::string(number) + '-' + std::string(kindName(kind_));
    closed.size = size_;
    closed.written = directory_.empty() ||
                     (writeFile(directory_ + '/' + closed.name + ".bin", data_, closed.failure) &&
                      writeFile(directory_ + '/' + closed.name + ".hdr", header_, closed.failure));
    if (closed.written)
        ++closedCount_;
    abandon();
    return closed;
}

bool ComponentStore::writeFile(const std::string& path, std::string_view content, std::string& failure) const
{
    platform::FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file || !writeAll(file.get(), content.data(), content.size())) {
        failure = "cannot write " + path + ": " + platform::systemErrorText(errno);
        return false;
    }
    return true;
}

} // namespace termsim
