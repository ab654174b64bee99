// The ticket on the serial ticket printer: the printer's line settings from the
// settings, the printer lock, and each line folded, converted to the printer's code
// page and cut to the printer's width.
#include "app/OrvaneDoc.h"
#include "loader/AccentFolding.h"
#include "loader/DownloadJob.h"
#include "platform/OemText.h"

#include <array>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// The position of text in an exact list of accepted values.
template <std::size_t N>
std::optional<int> indexIn(const std::array<std::string_view, N>& accepted, std::string_view text)
{
    for (std::size_t i = 0; i < N; ++i)
        if (accepted[i] == text)
            return static_cast<int>(i);
    return std::nullopt;
}

// The speeds a ticket printer may use; 4800, 128000 and 256000 are not among them.
constexpr std::array<std::string_view, 12> kSpeeds = {"110",   "300",   "600",   "1200",  "2400",  "9600",
                                                      "14400", "19200", "38400", "56000", "57600", "115200"};
constexpr std::array<int, 12> kSpeedBaudIndex = {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12};
constexpr std::array<std::string_view, 3> kStopBits = {"1", "1.5", "2"};
constexpr std::array<std::string_view, 5> kParities = {"N", "E", "O", "M", "S"};
constexpr std::array<int, 5> kParityIndex = {2, 1, 0, 3, 4};
constexpr std::array<std::string_view, 4> kDataBits = {"8", "7", "6", "5"};
constexpr std::array<int, 4> kDataBitCount = {8, 7, 6, 5};

// The printer's line settings from the stored texts, or nothing when one of them
// (taken in the order speed, stop bits, parity, data bits) is not in its list.
std::optional<CommPort::PortSettings> printerLineSettings(OrvaneDoc& document)
{
    std::string speed = document.readSetting("ImpresionVelocidad");
    std::string stop = document.readSetting("ImpresionStop");
    std::string parity = document.readSetting("ImpresionParidad");
    std::string bits = document.readSetting("ImpresionBits");
    bool cts = document.readSettingInt("ImpresionCts") != 0;
    bool dsr = document.readSettingInt("ImpresionDsr") != 0;
    bool xoff = document.readSettingInt("ImpresionXoff") != 0;

    auto speedAt = indexIn(kSpeeds, speed);
    if (!speedAt)
        return std::nullopt;
    auto stopAt = indexIn(kStopBits, stop);
    if (!stopAt)
        return std::nullopt;
    auto parityAt = indexIn(kParities, parity);
    if (!parityAt)
        return std::nullopt;
    auto bitsAt = indexIn(kDataBits, bits);
    if (!bitsAt)
        return std::nullopt;

    CommPort::PortSettings settings;
    settings.baudIndex = kSpeedBaudIndex[static_cast<std::size_t>(*speedAt)];
    settings.stopBitIndex = *stopAt;
    settings.parityIndex = kParityIndex[static_cast<std::size_t>(*parityAt)];
    settings.dataBits = kDataBitCount[static_cast<std::size_t>(*bitsAt)];
    settings.parityCheck = 0;
    settings.ctsOutputFlow = cts ? 1 : 0;
    settings.dsrOutputFlow = dsr ? 1 : 0;
    settings.xonXoffOutput = xoff ? 1 : 0;
    settings.dsrSensitivity = 0;
    settings.dtrMode = 1;
    settings.rtsMode = 1;
    return settings;
}

// The pieces a line is printed as on a printer `width` characters wide: cut every
// width - 3 characters with "..." at each cut, the last piece holding up to width
// characters; blanks opening a piece are dropped. The cutting needs at least 4
// columns: with fewer (an absent width reads 0) the line is printed whole.
std::vector<std::string> ticketLinePieces(std::string_view line, int width)
{
    std::vector<std::string> pieces;
    const std::size_t length = line.size();
    const bool cut = width >= 4;
    const std::size_t w = cut ? static_cast<std::size_t>(width) : 0;
    for (std::size_t p = 0; p < length;) {
        std::string piece;
        if (cut && length - p > w) {
            piece = std::string(line.substr(p, w - 3)) + "...";
            p += w - 3;
        } else {
            piece = std::string(line.substr(p));
            p = length;
        }
        piece.erase(0, piece.find_first_not_of(' ')); // npos: a piece of blanks only
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

constexpr std::uint32_t kPieceWriteLimitMs = 1000;
constexpr std::chrono::milliseconds kPauseAfterPiece{100};

} // namespace

bool DownloadJob::printTicket()
{
    const std::string printerName = document_.readSetting("ImpresionPuerto");
    const int width = document_.readSettingInt("ImpresionColumnas");
    std::optional<CommPort::PortSettings> settings = printerLineSettings(document_);
    if (!settings) {
        reportError("Invalid parameters of impression.");
        return false;
    }

    // One ticket at a time on the shared printer: tickets of ports that end together
    // come out one after the other, never mixed.
    std::scoped_lock printer(document_.printerLock());
    if (printerName.empty() || !printerPort_.open(printerName, *settings)) {
        reportError("It has not been possible to open the printer port.");
        return false;
    }
    for (const std::string& line : ticketLines_)
        printTicketLine(line, width);
    printerPort_.close(true);
    return true;
}

void DownloadJob::printTicketLine(std::string_view line, int width)
{
    std::string folded(line);
    for (char& c : folded)
        c = static_cast<char>(foldAccent(static_cast<std::uint8_t>(c)));
    const std::string printable = platform::cp1252ToCp850(folded);

    std::vector<std::string> pieces = ticketLinePieces(printable, width);
    if (pieces.empty())
        pieces.emplace_back(); // an empty line still feeds the paper
    for (std::string& piece : pieces) {
        piece += "\r\n";
        // A piece the printer does not take in time is lost; the ticket goes on.
        printerPort_.write(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size(), kPieceWriteLimitMs);
        std::this_thread::sleep_for(kPauseAfterPiece);
    }
}
