#pragma once
// Signing of configuration data by the external signing tool, sign.exe. The data goes
// to the tool in an exchange file in the temporary folder and comes back signed in the
// same file. Which command lines run depends on the Signing Tool settings: a signing
// device on a serial port (port, then the user password, then the signing) or a key
// file. One signing runs at a time in the whole station.
#include "platform/Ticks.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class OrvaneDoc;

class SigningRunner {
public:
    // How long each run of the tool may take before it is killed.
    static constexpr platform::Millis toolTimeLimitMs = 10000;
    // The temporary folder's path, with its final '/' and a terminating zero, must fit.
    static constexpr std::size_t folderPathLimit = 260;

    explicit SigningRunner(OrvaneDoc& document, platform::Millis timeLimitMs = toolTimeLimitMs);

    // See OrvaneDoc::signConfiguration.
    bool sign(std::uint8_t* data, std::size_t& length, std::size_t capacity, std::string& errorText);

private:
    enum class Mode { None, SerialDevice, KeyFile };

    Mode configuredMode();
    bool signerPasswordKnown(Mode mode);
    bool signWithDevice(const std::string& folder, const std::string& exchangePath, std::string& errorText);
    bool signWithKeyFile(const std::string& folder, const std::string& exchangePath, std::string& errorText);
    // Runs the tool once; true when it ended by itself with the expected exit code (or
    // with the alternative one when that is not negative).
    bool runTool(const std::string& folder, const std::string& arguments, int expectedExit, int alsoAccepted = -1);
    void tellOperator(const std::string& text, const std::string& caption);

    OrvaneDoc& document_;
    platform::Millis timeLimitMs_;
};
