#pragma once
// The gateway's two long routing tables as its listings show them. "AT&R" (LCR table, registers R00..R63) and
// "AT&A" (autorouting table, A00..A95) are not "KEY=value" listings: after a title line comes a header line
// whose words mark the columns, then one line per register that holds a row, the register first and each
// field of its value at its column, padded with blanks; trailing blanks are cut, so a row with empty last
// fields is shorter than the header. Registers are set with or without the leading zero ("R9" is "R09").
#include "gatewaysim/Fixture.h"

#include <QByteArray>
#include <QList>

namespace gatewaysim {

// True for a view the gateway has a table layout for ("AT&R", "AT&A"); a fixture lists it as a table when it names
// it in "table-views".
bool isTableView(const QByteArray& view);
// The listing lines of a table view: the title (title, or the built-in one when empty), the header and one line
// per non-empty register among rows (in their order).
QList<QByteArray> tableListing(const QByteArray& view, const QList<const Parameter*>& rows, const QByteArray& title);
// "R9" -> "R09", "A5" -> "A05": the register of a table as the store names it; other keys unchanged.
QByteArray tableRegister(const QByteArray& key);
// Checks that need more than a shape: the day-and-month dates of "X20", "G06" and "G07" (month first, see
// config/WireDate.h). True for every other key.
bool valueMeaningful(const QByteArray& key, const QByteArray& value);

} // namespace gatewaysim
