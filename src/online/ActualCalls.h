#pragma once
// The tables of the actual calls page: the calls in progress ("AT&XC") or the dynamic CLIP routing table
// ("AT&AD"), asked for once a second while the page is shown.
#include <QByteArray>
#include <optional>

// One table the page can show: the command that asks for it and the text its first line starts with.
struct ActualTable
{
    QByteArray command;
    QByteArray mark;
};

// The table of the topic on show: the actual calls (topic 235) or the CLIP routing table (705, the title its
// topic shows). Nothing for any other topic. The topic number decides, never a caption, which may read alike
// in a language.
std::optional<ActualTable> ActualTableOf(int topic);

// The table in a reply: from the first occurrence of mark up to the reply's final "OK" line, without the CR LF
// in front of it. The final line counts, so a row that holds "OK" stays in the table. Empty when mark does
// not occur before that line; nothing when the reply holds no "\r\nOK\r\n" (no complete answer).
std::optional<QByteArray> ActualTableText(const QByteArray& reply, const QByteArray& mark);
