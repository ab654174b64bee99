#include "app/RangoMAC.h"

#include "platform/OdbcError.h"

namespace {

constexpr const char* kColumns[] = {"oui", "primero", "ultimo", "siguiente"};

std::int32_t readColumn(platform::OdbcStatement& statement, int column)
{
    std::optional<std::int32_t> value = statement.readInt32(column);
    if (!value) // a range with a column left empty gives no address
        throw platform::OdbcError(std::string("RangoMAC: ") + kColumns[column - 1] + " is NULL", "22002");
    return *value;
}

} // namespace

std::string RangoMAC::sql() const
{
    std::string text = "SELECT oui, primero, ultimo, siguiente FROM RangoMAC";
    if (!filter_.empty())
        text += " WHERE " + filter_;
    if (!sort_.empty())
        text += " ORDER BY " + sort_;
    return text;
}

void RangoMAC::open()
{
    close();
    platform::OdbcStatement statement(connection_);
    statement_.emplace(std::move(statement));
    try {
        readFirstRow();
    } catch (...) {
        close();
        throw;
    }
}

void RangoMAC::requery()
{
    if (!isOpen()) {
        open();
        return;
    }
    current_.reset();
    try {
        readFirstRow();
    } catch (...) {
        close();
        throw;
    }
}

void RangoMAC::readFirstRow()
{
    statement_->execute(sql());
    if (statement_->fetch()) {
        MacRange row;
        row.oui = readColumn(*statement_, 1);
        row.primero = readColumn(*statement_, 2);
        row.ultimo = readColumn(*statement_, 3);
        row.siguiente = readColumn(*statement_, 4);
        current_ = row;
    }
    statement_->closeCursor();
}
