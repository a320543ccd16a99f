#pragma once
// The gateway's clock ("S99") and its login account ("X80"), apart from the widgets of their pages.
//
// Replies are read until they are complete, however long (a long "AT&V" listing included), and a command's
// verdict is a reply line that is exactly "OK": the gateway echoes the command, so text the user typed into it
// ("OKAY12" as a password) never counts as the gateway's answer.
#include "link/CommandWrite.h"
#include "link/LinkIo.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The fields of the date/time page.
struct ClockFields
{
    QString date;     // dd.mm.yyyy (the year as the gateway gave it)
    QString time;     // HH:MM:SS
    int dayIndex = 0; // 0 Monday ... 6 Sunday; -1 no day
};

// The fields for a point in time of the PC clock.
ClockFields PcClockFields(const QDateTime& now);
// The fields from a "S99=d.m.y.w/h:m:s" line of a view reply (blanks after "=" skipped, the seconds optional); a
// weekday outside 1 to 7 gives day index -1. False when the reply holds no such value, a time of day that does
// not exist or a weekday that is no whole number (the page then shows the PC clock).
bool ParseClockReply(const QByteArray& reply, ClockFields& fields);
// "AT%S99=<date>.<weekday>/<time>\r\n". Empty when the date is not day.month.year (one or two digits, one or
// two, two to four), the time not h:m:s (one or two digits each; a '_' of a digit place not typed is none), the
// day index outside 0..6, or the command longer than the gateway's 39 characters.
QByteArray ClockSetCommand(const QString& date, int dayIndex, const QString& time);

// True when a line of reply is exactly "OK".
bool ReplyHasOkLine(const QByteArray& reply);
// True when a line of reply is exactly "OK" or "ERROR" (the gateway has given its verdict), or with busy "BUSY".
bool ReplyHasVerdict(const QByteArray& reply, bool busy = false);
// The longest a whole reply is read (ReadWholeReply, SendAccountCommand), counted from the start of its read:
// a gateway that keeps talking without its verdict must not hold the window. Tests shorten it.
inline int wholeReplyMs = 15000;
// Reads one whole reply (ReadReply) until it ends (its verdict line; with busy a line "BUSY" counts as one),
// the link is gone or closed, the program is closing or boundMs have passed. A read that brings nothing is no
// end before the bound.
QByteArray ReadWholeReply(int boundMs = wholeReplyMs, bool busy = false);
// One Exchange whose reply is read as ReadWholeReply reads it.
ExchangeResult SendWholeCommand(const QByteArray& command, int delayMs, int boundMs = wholeReplyMs, bool busy = false);

// The account check of the login page: 0 when the account may be sent, else the text of the first failure:
// 64 user name empty, 65 a password field empty, 892 user name or password shorter than 2, 893 the
// repetition differs.
int LoginAccountCheck(const QString& user, const QString& pass, const QString& passVerify);
// "AT%X80=<user>/<pass>\r\n"; disabling the login: "AT%X80=/\r".
QByteArray LoginAccountCommand(const QString& user, const QString& pass);
QByteArray LoginDisableCommand();
// One Exchange kept out of the communication log (LinkPortWrite, ReadReply with logged off) whose reply is read
// as ReadWholeReply reads it, within wholeReplyMs.
ExchangeResult SendAccountCommand(const QByteArray& command);

// The five values of the buffer state reply ("AT!Q"), in the order of its keys "Main loops:", "Max loop:",
// "System stack:", "User stack:", "Call records:".
QList<QByteArray> BufferStateValues(const QByteArray& reply);
