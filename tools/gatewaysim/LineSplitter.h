#pragma once
// Cuts received bytes into lines the way the gateway reads them. A line ends with CR, or with LF when no CR
// came before it. The LF or NUL right after a CR belongs to that CR (telnet peers send CR LF or CR NUL), so
// "AT\r\n" is one line; a lone LF after that ends an empty line.
#include <QByteArray>

namespace gatewaysim {

class LineSplitter
{
public:
    enum class Event {
        None,     // the byte was added to the line
        Line,     // a line ended: text() and raw() hold it
        Tail,     // the byte was the LF or NUL that completes the previous CR
        Overlong, // the line grew past the limit without an end: text() and raw() hold what came
    };

    static constexpr qsizetype kMaxLine = 1024;

    Event push(char c)
    {
        if (afterCr_ && (c == '\n' || c == '\0')) {
            afterCr_ = false;
            return Event::Tail;
        }
        afterCr_ = false;
        if (ended_) {
            raw_.clear();
            ended_ = false;
        }
        raw_.append(c);
        if (c == '\r' || c == '\n') {
            afterCr_ = c == '\r';
            ended_ = true;
            return Event::Line;
        }
        if (raw_.size() >= kMaxLine) {
            ended_ = true;
            return Event::Overlong;
        }
        return Event::None;
    }

    // True when c would complete the previous CR rather than start something new.
    bool isTail(char c) const { return afterCr_ && (c == '\n' || c == '\0'); }
    // True while a line has begun and not ended.
    bool midLine() const { return !ended_ && !raw_.isEmpty(); }

    QByteArray raw() const { return raw_; }
    QByteArray text() const
    {
        if (!raw_.isEmpty() && (raw_.endsWith('\r') || raw_.endsWith('\n')))
            return raw_.left(raw_.size() - 1);
        return raw_;
    }

    void reset()
    {
        raw_.clear();
        afterCr_ = false;
        ended_ = false;
    }

private:
    QByteArray raw_;
    bool afterCr_ = false;
    bool ended_ = false;
};

} // namespace gatewaysim
