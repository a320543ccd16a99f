// The boot loader and its firmware upload.
//
// AT monitor (the fault "boot AT mode" starts there): every byte is echoed as it comes, a CR as CR LF; "at" is
// answered "OK", "ati3" with the loader's two identification lines and "OK", "at!K2RM" erases the flash
// ("In-Flash: 1234 OK", "Boot: Ready") and goes to BOOT mode; an empty line shows the banner; anything else is
// "ERROR". BOOT mode (the fault "boot mode" starts there; a logged-in session's "at!K2RM" leads there too):
// nothing is echoed; Intel HEX records are framed by their byte count, so no line end is needed. ":00000012EE"
// is answered "[ BOOT ]"; records gather in a batch that ":00000005FB" closes with one verdict ('.' taken,
// 'X' refused, 'R' repeat the control record); a record whose type ends in 1 or 9 must come alone and gets its
// own verdict. The end-of-file record's verdict is followed by "Boot: OK" and "Init: OK", the taken records
// are written to Config::firmwareImagePath as an Intel HEX file, and the gateway starts its new firmware: the
// session goes to the login and the boot faults are cleared, so the next connection logs in.
#include "gatewaysim/Session.h"

#include <QFile>

#include <utility>

namespace gatewaysim {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The record's bytes, or empty when a digit is not hex or the checksum is wrong.
QList<int> recordBytes(const QByteArray& record)
{
    QList<int> bytes;
    int sum = 0;
    for (qsizetype i = 1; i + 1 < record.size(); i += 2) {
        const int hi = hexValue(record[i]);
        const int lo = hexValue(record[i + 1]);
        if (hi < 0 || lo < 0)
            return {};
        bytes.append(hi * 16 + lo);
        sum += hi * 16 + lo;
    }
    if ((sum & 0xFF) != 0)
        return {};
    return bytes;
}

class FirmwareLoader : public ModeHandler
{
public:
    void greet(Session& session) override { session.send(bootBanner(session.config())); }

    // A session that meets the boot loader at its start is in the AT monitor when the fault says so; one that
    // comes from an erase is in BOOT mode.
    void enter(Session& session) override
    {
        at_ = session.faults().bootAtMode && !erasing_;
        erasing_ = false;
        record_.clear();
        batch_.clear();
        batchBad_ = repeatPending_ = false;
    }

    void comeFromErase() { erasing_ = true; }

    qsizetype take(Session& session, const QByteArray& bytes, qsizetype from) override
    {
        const char c = bytes[from];
        if (at_)
            takeAt(session, c);
        else
            takeBoot(session, c);
        return 1;
    }

private:
    // ---- AT monitor ----
    void takeAt(Session& session, char c)
    {
        const Faults f = session.faults();
        raw_ += c;
        if ((c == '\n' || c == '\0') && lastWasCr_) {
            lastWasCr_ = false; // the LF of a CR LF belongs to the CR's line
            session.logRaw(raw_);
            raw_.clear();
            return;
        }
        lastWasCr_ = c == '\r';
        if (c == '\r' || c == '\n') {
            session.send("\r\n");
            session.logRaw(raw_);
            raw_.clear();
            const QByteArray line = line_;
            line_.clear();
            echoed_ = 0;
            atLine(session, line);
            return;
        }
        line_ += c;
        ++echoed_;
        if (f.bootWrongEcho && echoed_ == 1) {
            session.send(QByteArray(1, c == '#' ? '$' : '#'));
            return;
        }
        session.send(QByteArray(1, c));
        if (f.bootUnsolicited && echoed_ == 1)
            session.send("*RING\r\n");
    }

    void atLine(Session& session, const QByteArray& line)
    {
        const Faults f = session.faults();
        const QByteArray lower = line.toLower();
        if (line.isEmpty()) {
            session.send(bootBanner(session.config()));
        } else if (lower == "at") {
            session.send("OK\r\n");
        } else if (lower == "ati3") {
            // The echo's line end makes the first line; the maker's line is the second.
            const QByteArray maker = f.bootForeignBanner ? "(c) Other Maker" : "(c) Korvath";
            session.send(maker + " boot loader " + session.config().bootVersion.toLatin1() + "\r\nOK\r\n");
        } else if (line == "at!K2RM") {
            erase(session);
        } else {
            session.send("ERROR\r\n");
        }
    }

    void erase(Session& session)
    {
        session.send("In-Flash: 1234 OK\r\n");
        if (!session.faults().bootNoReady)
            session.send("Boot: Ready\r\n");
        at_ = false;
        image_.clear();
        batch_.clear();
    }

    // ---- BOOT mode ----
    void takeBoot(Session& session, char c)
    {
        if (record_.isEmpty()) {
            if (c == ':') {
                if (!outside_.isEmpty())
                    session.logRaw(std::exchange(outside_, {}));
                record_ = ":";
            } else if (c == '\r') {
                // An empty line shows the banner again; other text is logged and not answered.
                if (outside_.isEmpty())
                    session.send(bootBanner(session.config()));
                session.logRaw(std::exchange(outside_, {}) + '\r');
            } else if (c == '\n' || c == '\0') {
                session.logRaw(QByteArray(1, c)); // the tail of a line end, or a stray LF
            } else {
                outside_ += c;
            }
            return;
        }
        record_ += c;
        if (record_.size() == 3) {
            const int hi = hexValue(record_[1]);
            const int lo = hexValue(record_[2]);
            if (hi < 0 || lo < 0) {
                session.logRaw(record_);
                record_.clear();
                verdict(session, 'X');
                return;
            }
            expected_ = 1 + 2 * (hi * 16 + lo + 5);
        }
        if (record_.size() < 3 || record_.size() < expected_)
            return;
        const QByteArray record = record_;
        record_.clear();
        session.logRaw(record);
        onRecord(session, record);
    }

    void onRecord(Session& session, const QByteArray& record)
    {
        if (record == ":00000012EE") {
            session.send("[ BOOT ]\r\n");
            return;
        }
        const QList<int> bytes = recordBytes(record);
        if (bytes.isEmpty()) {
            batchBad_ = true;
            return;
        }
        const int type = bytes[3];
        const bool closer = bytes[0] == 0 && type == 0x05;
        if (repeatPending_ && !closer) {
            // After 'R' the program sends the closing record again; records instead mean the whole batch comes
            // again.
            batch_.clear();
            batchBad_ = false;
        }
        repeatPending_ = false;
        if (closer) { // closes a batch
            const char v = nextVerdict(session);
            if (v == '.' && (batchBad_ || batch_.size() > 8))
                return refuseBatch(session);
            if (v == '.') {
                image_ += batch_;
                batch_.clear();
            } else if (v != 'R') {
                batch_.clear();
                batchBad_ = false;
            }
            if (v)
                verdict(session, v);
            return;
        }
        if ((type & 0x0F) == 0x01 || (type & 0x0F) == 0x09) { // goes alone
            if (!batch_.isEmpty() || batchBad_)
                return refuseBatch(session);
            const char v = nextVerdict(session);
            if (v == '.')
                image_ += record;
            if (v)
                verdict(session, v);
            if (v == '.' && type == 0x01)
                finish(session);
            return;
        }
        batch_.append(record);
    }

    void refuseBatch(Session& session)
    {
        batch_.clear();
        batchBad_ = false;
        verdict(session, 'X');
    }

    // The verdict the faults ask for: silence, 'R' or 'X' while their counts last, else '.'.
    char nextVerdict(Session& session)
    {
        const Faults f = session.faults();
        if (f.bootSilent)
            return 0;
        if (repeats_ < f.bootRepeat) {
            ++repeats_;
            return 'R';
        }
        if (refusals_ < f.bootRefuse) {
            ++refusals_;
            return 'X';
        }
        return '.';
    }

    void verdict(Session& session, char v)
    {
        repeatPending_ = v == 'R';
        session.send(QByteArray(1, v) + "\r\n");
    }

    void finish(Session& session)
    {
        const QString path = session.config().firmwareImagePath;
        if (!path.isEmpty()) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(image_.join('\n') + '\n');
        }
        session.send("Boot: OK\r\nInit: OK\r\n");
        Faults f = session.faults();
        f.bootMode = false;
        f.bootAtMode = false;
        session.state().setFaults(f);
        image_.clear();
        session.switchTo(Mode::User);
    }

    bool at_ = false;
    bool erasing_ = false;
    bool lastWasCr_ = false;
    int echoed_ = 0;
    QByteArray line_;
    QByteArray raw_;
    QByteArray record_;
    QByteArray outside_; // text in BOOT mode that is no record
    int expected_ = 0;
    QList<QByteArray> batch_;
    bool batchBad_ = false;
    bool repeatPending_ = false;
    QList<QByteArray> image_;
    int repeats_ = 0;
    int refusals_ = 0;
};

} // namespace

void installFirmwareLoader(HandlerTable& table)
{
    table.setMode(Mode::Boot, [] { return std::make_unique<FirmwareLoader>(); });
    // A logged-in gateway asked to erase its flash goes to its boot loader, ready for the records.
    table.commands(Mode::Command).add("AT!K2RM", [](Session& session, const QByteArray& body) {
        if (body != "!K2RM")
            return false;
        session.send("\r\nIn-Flash: 1234 OK\r\n");
        if (!session.faults().bootNoReady)
            session.send("Boot: Ready\r\n");
        session.handler<FirmwareLoader>(Mode::Boot).comeFromErase();
        session.switchTo(Mode::Boot);
        return true;
    });
}

} // namespace gatewaysim
