#pragma once
// The longest values of the routing tables' rows, of the network lists' entries, of the cause transfer list and
// of the CLIP conversion list: what their edits and dialogs let a person type, which is what the gateway's own
// fields hold. A longer value is damaged, wherever it comes from: the gate-file reader reports its key and does
// not load it, and the gateway's listings do not take it, so no command longer than the gateway's fields is ever
// built and every value the program holds goes to the gate file and back. The mobility-extension rows are
// carried as read (nothing edits or sends them).
#include <QString>
#include <QStringList>

inline constexpr int kAutoClipLength = 47;     // autorouting: the caller's GSM number (CLIP)
inline constexpr int kAutoNumberLength = 14;   // autorouting: the number to dial
inline constexpr int kRowLimitLength = 2;      // autorouting and LCR: the call-length limit 0..99
inline constexpr int kLcrNetworkLength = 1;    // LCR: the network list 1..8
inline constexpr int kLcrWindowLength = 14;    // LCR: "hh:mm/hh:mm/w+"
inline constexpr int kLcrGroupsLength = 7;     // LCR: up to seven groups, one digit each
inline constexpr int kNetworkPartLength = 10;  // network lists: each side of an entry "prefix/second part"
inline constexpr int kCauseEntries = 9;        // cause transfer list: its entries "gsm/isdn"
inline constexpr int kCauseDigits = 3;         // cause transfer list: each cause of an entry, in decimal

// Incoming groups: the CLIP conversion list, its entries joined by ",".
inline constexpr int kClipConversionsLength = 31;

// The autorouting services: A dial, C callback, R reject, I ignore, T tone dial-in, D DISA dial-in. The letter
// decides which fields of a row go out; a row with any other letter (or none) would go out empty.
inline constexpr char kAutoServiceLetters[] = "ACRITD";

// An autorouting row's fields (the service letter, when given, is one character).
bool autoRowFits(const QString& clip, const QString& number, const QString& limit, const QString& letter = {});
// An LCR row's fields. The network is also what the row goes out with, its caption up to the first "/" on the
// page, so it holds no "/".
bool lcrRowFits(const QString& network, const QString& window, const QString& groups, const QString& limit);
// A row as the image holds it ("clip,number,limit,letter" and "network,window,groups,limit"); an autorouting
// row's letter is one of kAutoServiceLetters.
bool autoImageRowFits(const QString& row);
bool lcrImageRowFits(const QString& row);
// An entry of a network list or of the prefix changes from BRI 1 to BRI 2: each side of its first "/".
bool networkEntryFits(const QString& entry);
// An entry of the cause transfer list: 1 to 3 digits, "/", 1 to 3 digits. The dialog's range 1..127 is not
// asked here: a gateway holding cause 0 or 200 has its entry carried as it stands.
bool causeEntryFits(const QString& entry);
// The cause transfer list: at most nine entries, each of them fitting; empty entries (which are dropped) aside.
bool causeListFits(const QStringList& entries);
// The CLIP conversion list as it is kept, its entries joined by ",".
bool clipConversionsFit(const QString& list);
