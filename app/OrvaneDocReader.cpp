// The document's bar-code reader: created as LecturaRadio asks at every reload, stopped
// and destroyed at the next reload and when the document closes.
#include "app/OrvaneDoc.h"

#include "app/ReaderNetworkPort.h"
#include "comm/NetReader.h"
#include "comm/SerialReader.h"

#include <string>

namespace {

constexpr int kKeyboardAndSerialReader = 1;
constexpr int kKeyboardAndReaderNetwork = 2;

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
