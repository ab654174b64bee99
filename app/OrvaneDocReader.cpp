// The document's bar-code reader: created as LecturaRadio asks at every reload, stopped
// and destroyed at the next reload and when the document closes.
#include "app/OrvaneDoc.h"

#include "comm/NetReader.h"
#include "comm/SerialReader.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kKeyboardAndSerialReader = 1;
constexpr int kKeyboardAndReaderNetwork = 2;
constexpr int kReaderNetworkTcpPort = 800;

// The reader network server's TCP port. ORVANE_READER_NETWORK_PORT may name another
// one, so that tests and demonstrations can run a server without the privilege that
// port 800 needs.
int readerNetworkTcpPort()
{
    const char* text = std::getenv("ORVANE_READER_NETWORK_PORT");
    if (!text || !*text)
        return kReaderNetworkTcpPort;
    int port = 0;
    const char* end = text + std::strlen(text);
    auto [stop, error] = std::from_chars(text, end, port);
    if (error != std::errc{} || stop != end || port < 1 || port > 65535)
        return kReaderNetworkTcpPort;
    return port;
}

} // namespace

void OrvaneDoc::replaceReader()
{
    stopReader();
    switch (readSettingInt("LecturaRadio")) {
    case kKeyboardAndSerialReader:
        reader_ = std::make_unique<BarcodeReader::SerialReader>(readSetting("LecturaPuerto"));
        break;
    case kKeyboardAndReaderNetwork:
        reader_ = std::make_unique<BarcodeReader::NetReader>(readSetting("LecturaServidor"), readerNetworkTcpPort(),
                                                             std::to_string(readSettingInt("LecturaNumLector")));
        break;
    default: // keyboard only
        return;
    }
    reader_->start();
}

void OrvaneDoc::stopReader()
{
    if (!reader_)
        return;
    reader_->stop();
    reader_.reset();
}
