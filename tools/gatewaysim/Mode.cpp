#include "gatewaysim/Mode.h"

#include "gatewaysim/Session.h"

namespace gatewaysim {

qsizetype ModeHandler::take(Session& session, const QByteArray& bytes, qsizetype from)
{
    LineSplitter& splitter = session.splitter();
    const char c = bytes[from];
    if (splitter.isTail(c)) {
        splitter.push(c);
        session.state().logTail(c);
        return 1;
    }
    if (session.config().echo && echoes()) {
        // A backspace erases the character before it, on the screen as in the line (see eraseBackspaces).
        if (c == '\b')
            session.send(splitter.midLine() ? QByteArray("\b \b") : QByteArray());
        else
            session.send(c == '\r' || c == '\n' ? QByteArray("\r\n") : QByteArray(1, c));
    }
    const LineSplitter::Event ev = splitter.push(c);
    if (ev != LineSplitter::Event::Line && ev != LineSplitter::Event::Overlong)
        return 1;
    // The LF or NUL after a CR is logged with its line when it came with it, before the reply goes.
    QByteArray raw = splitter.raw();
    qsizetype taken = 1;
    if (from + 1 < bytes.size() && splitter.isTail(bytes[from + 1])) {
        splitter.push(bytes[from + 1]);
        raw += bytes[from + 1];
        taken = 2;
    }
    if (session.sending())
        session.state().noteLineWhileSending(raw);
    session.state().logLine(raw);
    onLine(session, splitter.text(), ev == LineSplitter::Event::Overlong);
    return taken;
}

QByteArray eraseBackspaces(const QByteArray& text)
{
    QByteArray out;
    for (char c : text) {
        if (c == '\b')
            out.chop(1);
        else
            out.append(c);
    }
    return out;
}

void CommandTable::add(const QByteArray& name, CommandHandler handler)
{
    entries_.append({name, std::move(handler)});
}

bool CommandTable::dispatch(Session& session, const QByteArray& body) const
{
    for (const auto& [name, handler] : entries_) {
        if (handler(session, body))
            return true;
    }
    return false;
}

QList<QByteArray> CommandTable::names() const
{
    QList<QByteArray> out;
    for (const auto& entry : entries_)
        out.append(entry.first);
    return out;
}

void HandlerTable::setMode(Mode mode, Factory factory)
{
    factories_[mode] = std::move(factory);
}

std::unique_ptr<ModeHandler> HandlerTable::create(Mode mode) const
{
    const auto it = factories_.find(mode);
    return it == factories_.end() ? nullptr : it->second();
}

const CommandTable& HandlerTable::commands(Mode mode) const
{
    static const CommandTable kNone;
    const auto it = commands_.find(mode);
    return it == commands_.end() ? kNone : it->second;
}

} // namespace gatewaysim
