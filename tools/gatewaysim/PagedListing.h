#pragma once
// A paged listing between its pages: every blank (no line end) brings the next page; any other byte ends
// the listing and starts the next line in command mode. Session::sendReply starts it.
#include "gatewaysim/Mode.h"

namespace gatewaysim {

class PagedListing : public ModeHandler
{
public:
    void setPages(const QList<QByteArray>& pages) { pages_ = pages; }
    qsizetype take(Session& session, const QByteArray& bytes, qsizetype from) override;
    void leave(Session&) override { pages_.clear(); }

private:
    QList<QByteArray> pages_; // still to send, each after a blank
};

} // namespace gatewaysim
