#include "soak/SoakWorkspace.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

std::string binary(std::size_t size, int seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((seed * 97 + i * 13 + (i >> 7)) & 0xFF);
    return bytes;
}

// Intel HEX data records of 16 bytes from address, then (when closed) the end record.
std::string hexRecords(unsigned address, int records, int seed, bool closed)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int r = 0; r < records; ++r, address += 16) {
        std::string record = ":10";
        unsigned sum = 0x10 + ((address >> 8) & 0xFF) + (address & 0xFF);
        auto put = [&](unsigned byte) {
            record += digits[(byte >> 4) & 0xF];
            record += digits[byte & 0xF];
        };
        put((address >> 8) & 0xFF);
        put(address & 0xFF);
        put(0);
        for (int i = 0; i < 16; ++i) {
            unsigned byte = static_cast<unsigned>(seed * 31 + r * 7 + i) & 0xFF;
            sum += byte;
            put(byte);
        }
        put((0x100 - (sum & 0xFF)) & 0xFF);
        text += record + "\r\n";
    }
    if (closed)
        text += ":00000001FF\r\n";
    return text;
}

} // namespace

SoakWorkspace::SoakWorkspace()
{
    ramboot = hexRecords(0x2000, 24, 11, true);
    prekernel = binary(600, 1);
    kernel = binary(9000, 2);
    application = binary(5000, 3);
    dir.write("apps/ramboot.hex", ramboot);
    dir.write("apps/pre.bin", prekernel);
    dir.write("apps/kernel.bin", kernel);
    dir.write("apps/app.bin", application);
    std::filesystem::copy_file(ORVANE_DEMO_DATA "/guarantee.bin", dir.file("apps/guarantee.bin"));
    std::filesystem::copy_file(ORVANE_DEMO_DATA "/config.bin", dir.file("apps/config.bin"));
    dir.write("apps/key.bin", "soak signing key");
    // The Intel HEX terminal gets the configuration and the application as one stream
    // with the single end record of the last file.
    std::string config = hexRecords(0x0000, 40, 5, true);
    std::string payment = hexRecords(0x4000, 400, 6, true);
    dir.write("apps/config.hex", config);
    dir.write("apps/payment.hex", payment);
    hexStream = config.substr(0, config.size() - 13) + payment;

    dir.write("terminals/Corvantis/CV1.app",
              "[MODEL]\nCODE=CV1\nDESC=Counter unit\n[SYSTEM]\nPROTOCOL=CORVANTIS\nRAMBOOT=ramboot.hex\nRBDELAY=400\n"
              "GUARANTEE=guarantee.bin\nCONFIG=config.bin\nPREKERNEL=pre.bin\nKERNEL=kernel.bin\nTIMESET=Y\nSTDELAY=5\n"
              "[COMMUNICATION]\nBIOS=115200,N,8,1\nRAMBOOT=115200,N,8,1\nTIMESET=115200,N,8,1\n"
              "[ASSIGNABLE]\nSERIAL_NUMBER=YES\nMAC_ADDRESS=YES\n[APP]\nPROGRAM=app.bin\n");
    dir.write("terminals/Halvorin/HX1.app", "[MODEL]\nCODE=HX1\nDESC=Countertop\n[SYSTEM]\nPROTOCOL=INTELHEX\n"
                                            "CONFIG=config.hex\n[COMMUNICATION]\nBIOS=115200,N,8,1\n"
                                            "[APP]\nPROGRAM=payment.hex\n");
    dir.mkdir("station-tmp");
    dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.file("terminals") + "\nDirAplic=" + dir.file("apps") +
                                 "\nCurNode=Corvantis\\CV1\nRegistroRadio=1\nRegistroNivel=1\nRegistro=" +
                                 dir.file("load.log") +
                                 "\nManufacturer=ORVANE\nNumeroSerieRadio=0\nProximoNS=0000001000\nSaltoNS=1\n"
                                 "AccionSerie=3\nDireccionMACRadio=0\nProximoMAC=0012AB000010\nSaltoMAC=1\n"
                                 "AccionMAC=3\nFirmadorRadio=2\nFirmadorArchivo=" +
                                 dir.file("apps/key.bin") + "\nFirmadorClave=01\n");
}

std::string SoakWorkspace::pathEntry() const
{
    const char* old = std::getenv("PATH");
    return "PATH=" + std::filesystem::path(ORVANE_SIGNER).parent_path().string() + ":" + (old ? old : "/usr/bin:/bin");
}

std::string SoakWorkspace::fixedSettings() const
{
    std::istringstream in(readWholeFile(settingsPath()));
    std::string line, fixed;
    while (std::getline(in, line))
        if (line.rfind("ProximoNS=", 0) != 0 && line.rfind("ProximoMAC=", 0) != 0)
            fixed += line + "\n";
    return fixed;
}

std::string SoakWorkspace::settingValue(const std::string& key) const
{
    std::istringstream in(readWholeFile(settingsPath()));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return "";
}

long long SoakWorkspace::nextSerial() const
{
    std::string text = settingValue("ProximoNS");
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoll(text);
}

long long SoakWorkspace::nextMac() const
{
    std::string text = settingValue("ProximoMAC");
    if (text.size() != 12 || text.find_first_not_of("0123456789ABCDEF") != std::string::npos)
        return -1;
    return std::stoll(text, nullptr, 16);
}
