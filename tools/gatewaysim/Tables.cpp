#include "gatewaysim/Tables.h"

#include "config/WireDate.h"

namespace gatewaysim {

namespace {

struct Column
{
    const char* word; // header word
    int width;        // characters up to the next column
    bool right;       // the value stands right-aligned under the word
};

struct TableLayout
{
    const char* view;
    char letter;
    const char* title;
    QList<Column> columns; // after the register column "idx"; the value's fields in this order
};

const QList<TableLayout>& layouts()
{
    static const QList<TableLayout> l = {
        {"AT&R",
         'R',
         "LCR table",
         {{"netw", 5, false}, {"from/to/wend", 17, false}, {"groups", 8, false}, {"limit", 5, true}}},
        {"AT&A", 'A', "Autorouting table", {{"gsm.dial", 48, false}, {"isdn.dial", 16, false}, {"limit", 5, false}}},
    };
    return l;
}

const TableLayout* layoutOf(const QByteArray& view)
{
    for (const TableLayout& t : layouts())
        if (view == t.view)
            return &t;
    return nullptr;
}

constexpr int kRegisterWidth = 4;

QByteArray cell(const QByteArray& text, int width, bool right)
{
    return right ? text.rightJustified(width, ' ') : text.leftJustified(width, ' ');
}

QByteArray cutTrailingBlanks(QByteArray line)
{
    while (line.endsWith(' '))
        line.chop(1);
    return line;
}

} // namespace

bool isTableView(const QByteArray& view)
{
    return layoutOf(view) != nullptr;
}

QList<QByteArray> tableListing(const QByteArray& view, const QList<const Parameter*>& rows, const QByteArray& title)
{
    const TableLayout* t = layoutOf(view);
    if (!t)
        return {};
    QList<QByteArray> lines{title.isEmpty() ? QByteArray(t->title) : title};
    QByteArray header = cell("idx", kRegisterWidth, false);
    for (const Column& c : t->columns)
        header += cell(c.word, c.width, false);
    lines.append(cutTrailingBlanks(header));
    for (const Parameter* p : rows) {
        if (p->value.isEmpty())
            continue;
        const QList<QByteArray> fields = p->value.split(',');
        QByteArray line = cell(p->key, kRegisterWidth, false);
        for (int i = 0; i < t->columns.size(); ++i)
            line += cell(fields.value(i), t->columns[i].width, t->columns[i].right);
        lines.append(cutTrailingBlanks(line));
    }
    return lines;
}

QByteArray tableRegister(const QByteArray& key)
{
    if (key.size() != 2)
        return key;
    for (const TableLayout& t : layouts())
        if (key[0] == t.letter && key[1] >= '0' && key[1] <= '9')
            return key.left(1) + '0' + key.mid(1);
    return key;
}

bool valueMeaningful(const QByteArray& key, const QByteArray& value)
{
    if (key != "X20" && key != "G06" && key != "G07")
        return true;
    if (value.isEmpty())
        return key != "X20";
    for (const QByteArray& date : value.split(','))
        if (!isWireDate(date))
            return false;
    return true;
}

} // namespace gatewaysim
