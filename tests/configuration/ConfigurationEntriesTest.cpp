#include "app/ConfigurationEntries.h"
#include "app/PasswordEncoding.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class ConfigurationEntries : public ::testing::Test {
protected:
    platform::SettingsStore storeWith(std::string_view lines)
    {
        return platform::SettingsStore(dir.write("orvane.conf", "[Settings]\n" + std::string(lines)));
    }
    TempDir dir;
};

TEST_F(ConfigurationEntries, PortListKeepsLeadingBlanksAndDropsEmptyPieces)
{
    auto store = storeWith("Puertos= /dev/ttyS0 ,,/dev/ttyS1\n");
    auto general = loadGeneralEntries(store);
    EXPECT_EQ(general.ports, (std::vector<std::string>{" /dev/ttyS0", "/dev/ttyS1"}));
    ASSERT_TRUE(saveGeneralEntries(store, general));
    EXPECT_EQ(store.readString("Puertos"), " /dev/ttyS0,/dev/ttyS1");
}

TEST_F(ConfigurationEntries, OutOfRangeStepIsMendedOnlyWhenTheStepIsNotInUse)
{
    auto reading = storeWith("NumeroSerieRadio=1\nSaltoNS=0\nDireccionMACRadio=1\nSaltoMAC=150\n"
                             "DireccionIPRadio=1\nSaltoIP=-3\n");
    EXPECT_EQ(loadSerialNumberEntries(reading).step, "1");
    EXPECT_EQ(loadMacAddressEntries(reading).step, "1");
    EXPECT_EQ(loadIpAddressEntries(reading).step, "1");

    auto sequential = storeWith("SaltoNS=0\nSaltoMAC=150\nSaltoIP=7\n");
    EXPECT_EQ(loadSerialNumberEntries(sequential).step, "0");
    EXPECT_EQ(loadMacAddressEntries(sequential).step, "150");
    EXPECT_EQ(loadIpAddressEntries(sequential).step, "7");
}

TEST_F(ConfigurationEntries, UnknownOptionNumbersLoadAsTheFirstOption)
{
    auto store = storeWith("NumeroSerieRadio=5\nDireccionMACRadio=3\nLecturaRadio=-1\nFirmadorRadio=9\n"
                           "RegistroRadio=2\nRegistroNivel=5\n");
    EXPECT_EQ(loadSerialNumberEntries(store).option, 0);
    EXPECT_EQ(loadMacAddressEntries(store).option, 0);
    EXPECT_EQ(loadReadingEntries(store).option, 0);
    EXPECT_EQ(loadSigningToolEntries(store).option, 0);
    EXPECT_EQ(loadDataLogEntries(store).option, 0);
    EXPECT_EQ(loadDataLogEntries(store).level, 0);
}

TEST_F(ConfigurationEntries, AddressesAreKeptAsUnsignedNumbers)
{
    auto store = storeWith("ProximoIP=3232235777\nNetMask=4294967040\n");
    auto ip = loadIpAddressEntries(store);
    EXPECT_EQ(ip.next, 0xC0A80101u);
    EXPECT_EQ(ip.mask, 0xFFFFFF00u);
    ASSERT_TRUE(saveIpAddressEntries(store, ip));
    EXPECT_EQ(store.readString("NetMask"), "4294967040");
    EXPECT_EQ(static_cast<std::uint32_t>(store.readInt("ProximoIP")), 0xC0A80101u);
    EXPECT_EQ(static_cast<std::uint32_t>(store.readInt("NetMask")), 0xFFFFFF00u);
}

TEST_F(ConfigurationEntries, SecurityStoresTheMarkerOrTheTrimmedPassword)
{
    auto store = storeWith("");
    // Nothing stored decodes to no text: the page shows Enable with empty edits.
    EXPECT_TRUE(loadSecurityEntries(store).enabled);

    ASSERT_TRUE(saveSecurityEntries(store, {false, "ignored", "ignored"}));
    EXPECT_EQ(store.readString("Password"), encodePassword(kSecurityDisabledMarker));
    const auto disabled = loadSecurityEntries(store);
    EXPECT_FALSE(disabled.enabled);
    EXPECT_EQ(disabled.password, "");
    EXPECT_EQ(disabled.repeated, "");

    ASSERT_TRUE(saveSecurityEntries(store, {true, " Sesame  ", " Sesame  "}));
    EXPECT_EQ(store.readString("Password"), encodePassword(" Sesame"));
    const auto enabled = loadSecurityEntries(store);
    EXPECT_TRUE(enabled.enabled);
    EXPECT_EQ(enabled.password, " Sesame");
}

TEST_F(ConfigurationEntries, SavedPagesReadBackKeyByKey)
{
    auto store = storeWith("AccionSerie=7\n");
    auto serial = loadSerialNumberEntries(store);
    EXPECT_EQ(serial.action, 7); // no drop-down choice; written back unchanged
    serial.next = "0000001000 ";
    serial.step = "5";
    ASSERT_TRUE(saveSerialNumberEntries(store, serial));
    ASSERT_TRUE(saveMacAddressEntries(store, {2, 1, "00a0B1c2D3e4", "3", "stock"}));
    ASSERT_TRUE(saveDatesEntries(store, {1, 2, 3}));
    ASSERT_TRUE(saveReadingEntries(store, {2, "/dev/ttyS1", "readers.plant", "17"}));
    ASSERT_TRUE(saveSigningToolEntries(store, {2, "", "/keys/a.key", "07"}));
    ASSERT_TRUE(saveDataLogEntries(store, {1, "/var/log/load.log", 4}));

    platform::SettingsStore reread(store.path());
    const std::pair<const char*, const char*> expected[] = {
        {"AccionSerie", "7"},       {"NumeroSerieRadio", "0"},       {"ProximoNS", "0000001000 "},
        {"SaltoNS", "5"},           {"AccionMAC", "2"},              {"DireccionMACRadio", "1"},
        {"ProximoMAC", "00a0B1c2D3e4"}, {"SaltoMAC", "3"},           {"DSN", "stock"},
        {"AccionFInstalacion", "1"}, {"AccionFBaterias", "2"},        {"AccionFFabricacion", "3"},
        {"LecturaRadio", "2"},      {"LecturaPuerto", "/dev/ttyS1"}, {"LecturaServidor", "readers.plant"},
        {"LecturaNumLector", "17"}, {"FirmadorRadio", "2"},          {"FirmadorArchivo", "/keys/a.key"},
        {"FirmadorClave", "07"},    {"RegistroRadio", "1"},          {"Registro", "/var/log/load.log"},
        {"RegistroNivel", "4"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(reread.read(key), std::optional<std::string>(value)) << key;
}

} // namespace
