#include "gatewaysim/Session.h"

#include "gatewaysim/PagedListing.h"

namespace gatewaysim {

namespace {

const QByteArray kCrLf("\r\n");
const QByteArray kOk("OK\r\n");
const QByteArray kPageEnd("<SPACE>\r\n");

// Filler lines of dots, each ended by CR LF, exactly n bytes in all.
QByteArray filler(int n)
{
    QByteArray f(n, '.');
    for (int i = 78; i + 1 < n; i += 80) {
        f[i] = '\r';
        f[i + 1] = '\n';
    }
    if (n >= 2) {
        f[n - 2] = '\r';
        f[n - 1] = '\n';
    }
    return f;
}

} // namespace

QByteArray ati3Text(const Config& config)
{
    return "Mesk " + config.model.toLatin1() + " GSM-ISDN gateway\r\n(c) Korvath";
}

QByteArray ati4Text(const Config& config)
{
    return "SW : " + config.bootVersion.toLatin1() + " /" + config.firmwareVersion.toLatin1();
}

QByteArray bootBanner(const Config& config)
{
    return "\r\n[ BOOT " + config.bootVersion.toLatin1() + " ]\r\n";
}

Session::Session(GatewayState* state, Start start, OutputQueue::Writer writer, QObject* parent)
    : QObject(parent), state_(state), start_(start), out_(new OutputQueue(state, std::move(writer), this))
{
    connect(out_, &OutputQueue::dropRequested, this, &Session::dropRequested);
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, [this] { out_->sendDrop(); });
    mode_ = state_->faults().bootMode || state_->faults().bootAtMode ? Mode::Boot : Mode::User;
    ModeHandler& first = handlerOf(mode_);
    first.enter(*this);
    if (start == Start::Greet)
        first.greet(*this);
}

Session::~Session() = default;

ModeHandler& Session::handlerOf(Mode mode)
{
    std::unique_ptr<ModeHandler>& slot = handlers_[mode];
    if (!slot) {
        slot = HandlerTable::instance().create(mode);
        if (!slot)
            slot = std::make_unique<ModeHandler>(); // a mode nobody installed hears lines and says nothing
    }
    return *slot;
}

void Session::switchTo(Mode mode)
{
    if (mode == mode_)
        return;
    handlerOf(mode_).leave(*this);
    mode_ = mode;
    handlerOf(mode_).enter(*this);
}

void Session::drop()
{
    idle_.stop();
    handlerOf(mode_).leave(*this);
    out_->clear();
    out_->sendDrop();
}

void Session::startIdleLogout()
{
    const int ms = state_->config().idleLogoutMs;
    if (ms > 0)
        idle_.start(ms);
}

void Session::feed(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    if (idle_.isActive())
        idle_.start(); // heard something: the idle time starts again
    qsizetype i = 0;
    int handOffs = 0;
    while (i < bytes.size()) {
        const Mode before = mode_;
        qsizetype n = handlerOf(mode_).take(*this, bytes, i);
        if (n > 0) {
            handOffs = 0;
        } else if (mode_ == before || ++handOffs > 4) {
            n = 1; // a handler that neither took the byte nor handed it on loses it, so the loop ends
            handOffs = 0;
        }
        i += qMax<qsizetype>(n, 0);
    }
}

void Session::sendError()
{
    out_->send("\r\nERROR\r\n", state_->faults().replyDelayMs);
}

void Session::sendReply(const QList<QByteArray>& lines, const QByteArray& view)
{
    const Faults f = state_->faults();
    QByteArray tail;
    if (f.oversizeBytes > 0)
        tail += filler(f.oversizeBytes);
    if (!f.noOk)
        tail += kOk;

    const int pageSize = state_->pageSize();
    const bool paged = state_->isPaged(view);
    QList<QByteArray> pages;
    QByteArray page = kCrLf;
    int inPage = 0;
    for (const QByteArray& line : lines) {
        if (inPage == pageSize && paged) {
            pages.append(page + kPageEnd);
            page.clear();
            inPage = 0;
        }
        page += line + kCrLf;
        ++inPage;
    }
    const bool endless = paged && f.endlessPages;
    pages.append(page + (endless ? kPageEnd : tail));

    const QList<QByteArray> all = pages;
    out_->send(pages.takeFirst(), f.replyDelayMs);
    if (!pages.isEmpty() || endless) {
        handler<PagedListing>(Mode::Paged).setPages(pages, endless ? all : QList<QByteArray>(), f.stallAfterPages);
        switchTo(Mode::Paged);
    }
}

} // namespace gatewaysim
