// orvane-macranges: prepares a MAC range database for the station through its ODBC
// data source: creates the table RangoMAC, adds ranges and lists them.
//
//   orvane-macranges DSN create
//   orvane-macranges DSN add OUI PRIMERO ULTIMO     (numbers in hexadecimal)
//   orvane-macranges DSN list
//
// DSN is a data source name or a connection string such as
// "Driver=SQLite3;Database=/var/lib/orvane/macranges.db".
#include "app/RangoMAC.h"
#include "platform/OdbcConnection.h"
#include "platform/OdbcError.h"
#include "platform/OdbcStatement.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

constexpr const char* kUsage = "usage: orvane-macranges DSN create\n"
                               "       orvane-macranges DSN add OUI PRIMERO ULTIMO   (hexadecimal, 24 bits each)\n"
                               "       orvane-macranges DSN list\n";

std::optional<std::int32_t> hex24(const char* text)
{
    char* end = nullptr;
    long value = std::strtol(text, &end, 16);
    if (end == text || *end != '\0' || value < 0 || value > 0xFFFFFF)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

int addRange(platform::OdbcConnection& connection, char** numbers)
{
    auto oui = hex24(numbers[0]), primero = hex24(numbers[1]), ultimo = hex24(numbers[2]);
    if (!oui || !primero || !ultimo || *primero > *ultimo) {
        std::fprintf(stderr, "orvane-macranges: OUI, PRIMERO and ULTIMO are hexadecimal numbers of up to 24 bits, "
                             "PRIMERO not above ULTIMO\n");
        return 2;
    }
    connection.execute("INSERT INTO RangoMAC (oui, primero, ultimo, siguiente) VALUES (" + std::to_string(*oui) +
                       ", " + std::to_string(*primero) + ", " + std::to_string(*ultimo) + ", " +
                       std::to_string(*primero) + ")");
    return 0;
}

int listRanges(platform::OdbcConnection& connection)
{
    platform::OdbcStatement statement(connection);
    statement.execute("SELECT oui, primero, ultimo, siguiente FROM RangoMAC ORDER BY oui, primero");
    std::printf("oui     primero ultimo  siguiente\n");
    while (statement.fetch()) {
        long values[4];
        for (int column = 1; column <= 4; ++column)
            values[column - 1] = statement.readInt32(column).value_or(-1);
        std::printf("%06lX  %06lX  %06lX  %06lX%s\n", values[0], values[1], values[2], values[3],
                    values[3] > values[2] ? "  (used up)" : "");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[2];
    bool known = (command == "create" && argc == 3) || (command == "add" && argc == 6) ||
                 (command == "list" && argc == 3);
    if (!known) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        platform::OdbcConnection connection;
        connection.open(argv[1]);
        if (command == "create") {
            connection.execute(RangoMAC::kCreateTable);
            return 0;
        }
        if (command == "add")
            return addRange(connection, argv + 3);
        return listRanges(connection);
    } catch (const platform::OdbcError& error) {
        std::fprintf(stderr, "orvane-macranges: %s\n", error.what());
        return 1;
    }
}
