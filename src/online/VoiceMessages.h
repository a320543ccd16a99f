#pragma once
// The voice page's exchange with the gateway, apart from its widgets: the check of a message's description,
// the recording limits, the default file names and the waits for the gateway's answers.
#include "online/Xmodem.h"
#include "texts/Labels.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class ComPort;
class QIODevice;

// The waits of the voice operations, in ms (tests shorten them).
struct VoiceWaits
{
    int replyMs = 5000;        // the reply wait: until "OK", "ERROR" or "BUSY" has come
    int eraseMs = 20000;       // the erase wait of a transfer
    int erasePollMs = 200;     // ... read every so often
    int recordEraseMs = 60000; // the erase before a recording, on every link
    int closingMs = 2000;      // the longest a wait goes on once the program is closing (the close waits for
                               // the failure steps of a transfer it broke off)
};
inline VoiceWaits voiceWaits;
inline XmodemLimits voiceXmodemLimits;

// What the description reply of "AT!M<n>=view" allows: failText 0 and the file length, or the text number
// of the failure (477: no reply, "ERROR", "BUSY", a length that is no number or 0; 786: no "File length:").
struct VoiceView
{
    int failText = 0;
    qint64 length = 0;
};
VoiceView CheckVoiceView(const QByteArray& reply);
// The same check as the erase makes it: only a missing reply, "ERROR", "BUSY" (477) and a missing length (786).
int CheckVoiceViewForErase(const QByteArray& reply);
// The five description lines for the memo: each caption text (or its English text) and the key's value.
QStringList VoiceDescription(const QByteArray& reply, const Tlabels& labels);

// The name of message index (0 DISA, 1 and 2 the ring tones; empty for any other) in the current language.
QString VoiceMessageName(int index, const Tlabels& labels);
// Seconds a recording of the recording list's item index may last: 64 for the DISA message, 16 for PRI (5),
// 8 for the others.
int VoiceRecordLimit(int index);

// Reads replies until the text holds "OK", "ERROR" or "BUSY" (in any case), voiceWaits.replyMs have passed or
// the link's port is gone or the gateway's session has ended (its login prompt came: LinkSessionEnded); returns all
// that came. Once the program is closing, at most voiceWaits.closingMs more. leastMs: the pause the gateway is
// given after a command; the reply is read as it comes (a login prompt in it ends the pause), and the call returns
// no sooner than that.
QByteArray VoiceReplyWait(int leastMs = 0);
// Reads the port every voiceWaits.erasePollMs until what came, taken together, holds marker; false after
// limitMs (once the program is closing, at most voiceWaits.closingMs more), once the port is gone, or once the
// gateway's login prompt came (its session has ended).
bool VoiceEraseWait(const std::shared_ptr<ComPort>& port, const QByteArray& marker, int limitMs);

// A RIFF file of the WAVE form that holds a "fmt " and a "data" chunk. Nothing more is asked: the gateway judges
// the codec and the rate, and a file read from it (padded to whole blocks, its RIFF size shorter than the file)
// goes back as it is. The file's position is left where it was.
bool IsWaveFile(QIODevice& file);
