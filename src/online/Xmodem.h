#pragma once
// XMODEM-CRC, as the gateway speaks it when a voice message moves between it and a file.
//
// Frames are 133 bytes: header (0x01 data, 0x04 end), block number, its complement, 128 data bytes, CRC-16 of
// the data (high byte first). The receiver asks with 'C' and answers ACK or NAK per frame; it writes every good
// block whole, padding included, so a received file is always a multiple of 128 bytes. The sender pads the last
// block with zeros and ends with a whole 133-byte end frame (0x04 and 132 zeros), which the gateway expects;
// a receiver that NAKs it (a standard one takes only a lone EOT as the end) gets lone EOTs until it ACKs.
// After the end's ACK the sender writes 0x11 twice, reading one byte after each. Before each frame it writes,
// the sender drops what waits in its input, and before it writes a frame or an end again after a NAK it waits
// for the line to fall quiet: a receiver may answer one sending more than once, and such an extra answer, even
// one still on its way, must not be taken for a later sending's. A receive that has written CAN has failed,
// whatever follows.
//
// Every limit is measured on a monotonic clock and can be set (XmodemLimits, XmodemClock), so tests need not
// sit through ten-second waits. A read that times out is a time-out, never a byte: the partial frame is
// dropped, the receiver waits for the line to fall quiet and asks again with NAK.
//
// No widgets here: the caller shows the progress (the voice page moves the progress window's bar and label).
#include "platform/ComPort.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

inline constexpr char kXmodemSoh = 0x01;
inline constexpr char kXmodemEot = 0x04;
inline constexpr char kXmodemAck = 0x06;
inline constexpr char kXmodemNak = 0x15;
inline constexpr char kXmodemCan = 0x18;
inline constexpr char kXmodemCrcStart = 'C';
inline constexpr char kXmodemClose = 0x11; // written twice by the sender after the end's ACK
inline constexpr int kXmodemFrame = 133;
inline constexpr int kXmodemBlock = 128;

// CRC-16/XMODEM: polynomial 0x1021, initial 0, most significant bit first, no reflection, no final XOR.
quint16 Crc16Xmodem(const char* data, qsizetype length);

// Verdicts of XmodemCheckBlock.
inline constexpr int kXmodemBad = 0;
inline constexpr int kXmodemGood = 1;
inline constexpr int kXmodemEnd = 3;
// Checks a 133-byte frame against the block number of the last good block (0 before the first): kXmodemGood for
// the next block with a right complement and CRC, kXmodemEnd for any frame whose header is 0x04, kXmodemBad for
// anything else (a repeat of the last good block included).
int XmodemCheckBlock(const char* frame, quint8 lastGood);
// A data frame for block number `block` holding data (at most 128 bytes, padded with zeros).
QByteArray XmodemDataFrame(quint8 block, const QByteArray& data);

struct XmodemLimits
{
    int startTryMs = 10000;   // receive: one start try waits this long for a good block 1
    int startPauseMs = 3000;  // receive: pause after a failed start try; send: each of the three waits for 'C'
    int errorWindowMs = 9000; // receive: a run of bad frames lasting longer than this ends in CAN
    int frameWaitMs = 3000;   // receive: longest wait for a frame's header before it asks again with NAK
    int byteGapMs = 1000;     // receive: longest pause inside a frame
    int quietMs = 1000;       // the silence that ends the dropping of a broken frame (receive) or of the
                              // answers to a NAKed sending (send)
    int replyMs = 10000;      // send: a frame's ACK, NAK or CAN must come within this
    int ackGapMs = 10;        // between the receiver's two closing ACKs
    int closingReadMs = 250;  // send: wait for the byte after each closing 0x11
    int maxResends = 10;      // send: NAKs of one frame before the sender gives up with CAN
    int maxEotTries = 10;     // send: lone EOTs after a NAKed end frame
    int maxBadFrames = 10;    // receive: the bad frame after this many in a row ends in CAN
};

// What a transfer needs of the line.
class XmodemLine
{
public:
    virtual ~XmodemLine() = default;
    // True when every byte went out.
    virtual bool write(const QByteArray& bytes) = 0;
    // Waits at most waitMs for bytes and appends what came to out (nothing on a time-out). False when the line
    // is gone (the peer hung up, the port closed).
    virtual bool read(QByteArray& out, int waitMs) = 0;
};

// The open serial port of the link. Its read time-outs are changed during the transfer and put back afterwards.
class ComPortXmodemLine : public XmodemLine
{
public:
    explicit ComPortXmodemLine(ComPort& port);
    ~ComPortXmodemLine() override;
    bool write(const QByteArray& bytes) override;
    bool read(QByteArray& out, int waitMs) override;

private:
    ComPort& port_;
    CommTimeouts saved_;
};

// The clock and the pauses of a transfer. Defaults: the monotonic program clock, and pauses that keep the
// window's events going (WaitPumping).
struct XmodemClock
{
    std::function<qint64()> nowMs;
    std::function<void(int)> pause;
};

// Called after each counted block: the bar's position in bytes (128 per block) and the count for the status
// label. The receive does not call it for block 1; the send lags one frame (the first ACK shows 0).
using XmodemProgress = std::function<void(qint64 position, int count)>;

struct XmodemResult
{
    bool ok = false;
    int blocks = 0;  // good blocks written (receive) or data frames acknowledged (send)
    QString failure; // why it failed, for the log and the tests
};

// Receives into file (written from its current position). ok only when the end came right after a good block.
XmodemResult XmodemReceive(XmodemLine& line, QIODevice& file, const XmodemProgress& progress = {},
                           const XmodemLimits& limits = {}, const XmodemClock& clock = {});
// Sends file from its current position. ok only once the end has been acknowledged.
XmodemResult XmodemSend(XmodemLine& line, QIODevice& file, const XmodemProgress& progress = {},
                        const XmodemLimits& limits = {}, const XmodemClock& clock = {});
