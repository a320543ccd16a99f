#include "gatewaysim/PagedListing.h"

#include "gatewaysim/Session.h"

namespace gatewaysim {

qsizetype PagedListing::take(Session& session, const QByteArray& bytes, qsizetype from)
{
    const char c = bytes[from];
    if (session.splitter().isTail(c)) // the LF of the command line that asked for the listing
        return ModeHandler::take(session, bytes, from);
    if (c != ' ') {
        session.switchTo(Mode::Command);
        return 0;
    }
    session.state().logLine(QByteArray(1, ' '));
    if (!pages_.isEmpty())
        session.send(pages_.takeFirst());
    if (pages_.isEmpty())
        session.switchTo(Mode::Command);
    return 1;
}

void installPagedListing(HandlerTable& table)
{
    table.setMode(Mode::Paged, [] { return std::make_unique<PagedListing>(); });
}

} // namespace gatewaysim
