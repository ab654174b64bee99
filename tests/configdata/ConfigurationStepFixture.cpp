#include "configdata/ConfigurationStepFixture.h"
#include "sim/signer/SignatureTrailer.h"

#include <cstdio>
#include <ctime>

namespace {

const char* const signerSwitches[] = {
    "ORVANE_SIGNER_EXIT",     "ORVANE_SIGNER_EXIT_PORT", "ORVANE_SIGNER_EXIT_PASSWORD", "ORVANE_SIGNER_EXIT_SIGN",
    "ORVANE_SIGNER_HANG",     "ORVANE_SIGNER_DELAY_MS",  "ORVANE_SIGNER_GROW",          "ORVANE_SIGNER_REMOVE",
    "ORVANE_SIGNER_PASSWORD"};

std::string textOf(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

void answerDataRequest(ScriptedTerminal& term, const std::optional<Bytes>& object, const Bytes& filler)
{
    if (!object)
        term.answer("5513");
    else
        term.answer("0013" + textOf(filler) + textOf(*object));
    term.readByte(); // the station's ACK
}

void play(ScriptedTerminal& term, const TerminalScript& script, TerminalRecord& record)
{
    // Before the guarantee data stand 8 bytes of the terminal's own; a decoy FF 5E among
    // them must not be taken for the object, which is looked for from payload index 12.
    const Bytes guaranteeFiller = {0xFF, 0x5E, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
    for (int i = 0; i < script.dataRequests; ++i) {
        record.dataRequests.push_back(term.readPayload());
        if (i == 0)
            answerDataRequest(term, script.guarantee, guaranteeFiller);
        else
            answerDataRequest(term, script.configuration, {});
    }
    if (!script.download) {
        record.quietAfterwards = term.quiet(300);
        return;
    }
    record.start = term.readPayload();
    term.answer("0011" + textOf(script.offeredBlockLength));
    term.readByte();
    for (;;) {
        Bytes payload = term.readPayload(3000);
        if (payload.size() < 4)
            return;
        auto number = static_cast<std::uint16_t>(payload[2] | payload[3] << 8);
        record.numbers.push_back(number);
        record.blocks.emplace_back(payload.begin() + 4, payload.end());
        auto echo = static_cast<std::uint16_t>(number + script.echoOffset);
        term.answer(std::string("0012") + char(echo & 0xFF) + char(echo >> 8));
        term.readByte();
        if (number == 0 || script.echoOffset != 0)
            return;
    }
}

} // namespace

Bytes TerminalRecord::data() const
{
    Bytes joined;
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i)
        joined.insert(joined.end(), blocks[i].begin(), blocks[i].end());
    return joined;
}

PackedDate todaysDate()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%04d%02d%02d", (local.tm_year + 1900) % 10000, local.tm_mon + 1,
                  local.tm_mday);
    PackedDate date{};
    for (std::size_t i = 0; i < date.size(); ++i)
        date[i] = static_cast<std::uint8_t>((digits[2 * i] - '0') << 4 | (digits[2 * i + 1] - '0'));
    return date;
}

ConfigurationStepTest::ConfigurationStepTest()
{
    switchOn("TMPDIR", tools.mkdir("tmp"));
    tools.symlink("tmp/sign.exe", ORVANE_SIGNER);
    switchOn("ORVANE_SIGNER_LOG", tools.file("signer.log"));
    for (const char* name : signerSwitches)
        environment_.push_back(std::make_unique<ScopedEnvironment>(name, std::nullopt));

    describeAssignable({});
    setting("ImpresionRadio", "1");
    setting("Manufacturer", "MAKER1");
    setting("NumeroSerieRadio", "0");
    setting("ProximoNS", "1234567890");
    setting("SaltoNS", "1");
    setting("DireccionMACRadio", "0");
    setting("ProximoMAC", "0011AABBCC");
    setting("SaltoMAC", "1");
    setting("FirmadorRadio", "2"); // by key file: no password to ask
    setting("FirmadorArchivo", tools.write("key.bin", kKeyFileBytes));
    setting("FirmadorClave", kKeyNumber);
    writeTemplates(GuaranteeValues{}, ConfigurationValues{});

    job = f.makeJob(pty.slavePath());
    job->readSettings();
    EXPECT_TRUE(job->openTerminalPort());
}

ConfigurationStepTest::~ConfigurationStepTest()
{
    job.reset();
    while (!environment_.empty())
        environment_.pop_back(); // last set, first restored
}

void ConfigurationStepTest::describeAssignable(const std::vector<std::string>& entries)
{
    std::string description = "[SYSTEM]\nPROTOCOL=CORVANTIS\nGUARANTEE=g.bin\nCONFIG=c.bin\n[ASSIGNABLE]\n";
    for (const std::string& entry : entries)
        description += entry + "\n";
    f.selectModel("Family/M.app", description);
}

void ConfigurationStepTest::writeTemplates(const GuaranteeValues& guarantee, const ConfigurationValues& configuration)
{
    guaranteeTemplate = guaranteeFile(guarantee);
    configurationTemplate = configurationFile(configuration);
    f.writeApp("g.bin", textOf(guaranteeTemplate));
    f.writeApp("c.bin", textOf(configurationTemplate));
}

bool ConfigurationStepTest::runStep(const TerminalScript& script, TerminalRecord& record)
{
    bool result = false;
    {
        ScriptedTerminal term(pty, [&](ScriptedTerminal& s) { play(s, script, record); });
        result = job->prepareConfigurationData("g.bin", "c.bin");
    }
    return result;
}

void ConfigurationStepTest::switchOn(const std::string& name, const std::string& value)
{
    environment_.push_back(std::make_unique<ScopedEnvironment>(name, value));
}

std::vector<ToolRun> ConfigurationStepTest::signerRuns() const
{
    return readToolRuns(tools.file("signer.log"));
}

Bytes ConfigurationStepTest::signedByTool(const Bytes& data)
{
    std::optional<std::string> signedData = signer::signInPlace(std::string(data.begin(), data.end()),
                                                                signer::SigningKey::keyFile(kKeyFileBytes, kKeyNumber));
    return signedData ? Bytes(signedData->begin(), signedData->end()) : Bytes{};
}
