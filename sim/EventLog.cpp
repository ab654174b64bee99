#include "sim/EventLog.h"

#include "sim/WriteAll.h"

#include <fcntl.h>

namespace termsim {

bool EventLog::open(const std::string& path)
{
    file_.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    return file_.valid();
}

bool EventLog::record(std::string_view event)
{
    if (!file_)
        return true;
    std::string line(event);
    line += '\n';
    return writeAll(file_.get(), line.data(), line.size());
}

} // namespace termsim
