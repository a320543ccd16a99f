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
    if (stallAfter_ > 0 && sent_ >= stallAfter_)
        return 1; // a stalled listing hears the blank and sends nothing
    if (pages_.isEmpty())
        pages_ = again_;
    if (!pages_.isEmpty()) {
        session.send(pages_.takeFirst());
        ++sent_;
    }
    if (pages_.isEmpty() && again_.isEmpty())
        session.switchTo(Mode::Command);
    return 1;
}

void installPagedListing(HandlerTable& table)
{
    table.setMode(Mode::Paged, [] { return std::make_unique<PagedListing>(); });
}

} // namespace gatewaysim
