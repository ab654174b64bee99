#include "sim/StationSide.h"

#include "sim/SimTestSupport.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace simtest {

std::string frameOf(std::string_view payload)
{
    std::string frame{DLE, 0x02};
    unsigned char check = 0;
    for (char byte : payload) {
        frame += byte;
        check ^= static_cast<unsigned char>(byte);
        if (byte == DLE) {
            frame += byte;
            check ^= static_cast<unsigned char>(byte);
        }
    }
    frame += DLE;
    frame += 0x03;
    check ^= DLE ^ 0x03;
    frame += static_cast<char>(check);
    return frame;
}

std::string bytes(std::initializer_list<int> values)
{
    std::string text;
    for (int value : values)
        text += static_cast<char>(value);
    return text;
}

std::string le16(unsigned value)
{
    return bytes({static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF)});
}

std::string hex(std::string_view bytes)
{
    std::string text;
    for (char byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X ", static_cast<unsigned char>(byte));
        text += pair;
    }
    return text;
}

StationSide::StationSide(const std::string& path, speed_t speed, tcflag_t flags)
    : fd_(openStationSide(path))
{
    if (fd_ && !setSpeed(speed, flags))
        fd_.reset();
}

bool StationSide::setSpeed(speed_t speed, tcflag_t flags)
{
    return setLine(fd_.get(), speed, flags);
}

void StationSide::send(std::string_view bytes)
{
    writeText(fd_.get(), std::string(bytes));
}

namespace {

// One byte within limitMs; false when none came.
bool readByte(int fd, char& byte, platform::Millis limitMs)
{
    platform::Deadline deadline(limitMs);
    for (;;) {
        pollfd wait{fd, POLLIN, 0};
        int ready = ::poll(&wait, 1, deadline.pollTimeout());
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        ssize_t count = ::read(fd, &byte, 1);
        if (count == 1)
            return true;
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        return false;
    }
}

} // namespace

std::string StationSide::readUntilQuiet(platform::Millis quietMs, platform::Millis limitMs)
{
    platform::Deadline deadline(limitMs);
    std::string got;
    char byte;
    while (!deadline.expired() && readByte(fd_.get(), byte, std::min(quietMs, deadline.remainingMs())))
        got += byte;
    return got;
}

std::string StationSide::read(std::size_t count, platform::Millis limitMs)
{
    platform::Deadline deadline(limitMs);
    std::string got;
    char byte;
    while (got.size() < count && !deadline.expired() && readByte(fd_.get(), byte, deadline.remainingMs()))
        got += byte;
    return got;
}

std::string StationSide::readFrame(platform::Millis limitMs)
{
    platform::Deadline deadline(limitMs);
    std::string got;
    bool inFrame = false;
    bool afterDle = false;
    bool checkByteNext = false;
    char byte;
    while (!deadline.expired() && readByte(fd_.get(), byte, deadline.remainingMs())) {
        got += byte;
        if (checkByteNext)
            return got;
        if (!inFrame) {
            inFrame = got.size() >= 2 && got[got.size() - 2] == DLE && byte == 0x02;
            continue;
        }
        if (afterDle) {
            afterDle = false;
            checkByteNext = byte == 0x03;
        } else if (byte == DLE) {
            afterDle = true;
        }
    }
    return got;
}

std::string StationSide::exchange(std::string_view payload)
{
    send(frameOf(payload));
    std::string answer = readFrame();
    send(std::string(1, ACK));
    return answer;
}

} // namespace simtest
