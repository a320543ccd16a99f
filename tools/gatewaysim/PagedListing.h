#pragma once
// A paged listing between its pages: every blank (no line end) brings the next page; any other byte ends
// the listing and starts the next line in command mode. Session::sendReply starts it.
#include "gatewaysim/Mode.h"

namespace gatewaysim {

class PagedListing : public ModeHandler
{
public:
    // pages: still to send, each after a blank. again: the pages to start over with once they are sent (the fault
    // "endless pages"; empty: the listing ends). stallAfter > 0: no page after that many (the first included).
    void setPages(const QList<QByteArray>& pages, const QList<QByteArray>& again = {}, int stallAfter = 0)
    {
        pages_ = pages;
        again_ = again;
        stallAfter_ = stallAfter;
        sent_ = 1;
    }
    qsizetype take(Session& session, const QByteArray& bytes, qsizetype from) override;
    void leave(Session&) override
    {
        pages_.clear();
        again_.clear();
    }

private:
    QList<QByteArray> pages_;
    QList<QByteArray> again_;
    int stallAfter_ = 0;
    int sent_ = 0;
};

} // namespace gatewaysim
