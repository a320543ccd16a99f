#include "gatewaysim/Session.h"

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
    : QObject(parent), state_(state), out_(new OutputQueue(state, std::move(writer), this))
{
    connect(out_, &OutputQueue::dropRequested, this, &Session::dropRequested);
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, [this] { out_->sendDrop(); });
    stage_ = state_->faults().bootMode ? Stage::Boot : Stage::User;
    if (start == Start::Greet) {
        if (stage_ == Stage::Boot)
            sendBanner();
        else
            sendPrompt();
    }
}

QByteArray Session::prompt() const
{
    return "\r\n" + state_->config().model.toLatin1() + " login: ";
}

void Session::sendPrompt()
{
    out_->send(prompt());
}

void Session::sendBanner()
{
    out_->send(bootBanner(state_->config()));
}

void Session::drop()
{
    idle_.stop();
    out_->clear();
    out_->sendDrop();
}

void Session::feed(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    if (idle_.isActive())
        idle_.start(); // heard something: the idle time starts again
    const bool echo = state_->config().echo;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (splitter_.isTail(c)) {
            splitter_.push(c);
            state_->logTail(c);
            continue;
        }
        if (!pages_.isEmpty() && !splitter_.midLine()) {
            if (c == ' ') {
                state_->logLine(QByteArray(1, ' '));
                sendNextPage();
                continue;
            }
            // Anything but a blank ends the listing; the byte starts the next line.
            pages_.clear();
        }
        if (echo && stage_ != Stage::Password && stage_ != Stage::Boot)
            out_->send(c == '\r' || c == '\n' ? kCrLf : QByteArray(1, c));
        const LineSplitter::Event ev = splitter_.push(c);
        if (ev == LineSplitter::Event::Line || ev == LineSplitter::Event::Overlong) {
            // The LF or NUL after a CR is logged with its line when it came with it, before the reply goes.
            QByteArray raw = splitter_.raw();
            if (i + 1 < bytes.size() && splitter_.isTail(bytes[i + 1])) {
                ++i;
                splitter_.push(bytes[i]);
                raw += bytes[i];
            }
            state_->logLine(raw);
            handleLine(splitter_.text(), ev == LineSplitter::Event::Overlong);
        }
    }
}

void Session::handleLine(const QByteArray& text, bool overlong)
{
    const Config& cfg = state_->config();
    switch (stage_) {
    case Stage::Boot:
        // The boot loader's own dialogue is not simulated yet; an empty line shows the banner again.
        if (text.isEmpty())
            sendBanner();
        break;
    case Stage::User:
        if (text.isEmpty()) {
            sendPrompt();
            break;
        }
        user_ = text;
        out_->send("\r\nPassword: ");
        stage_ = Stage::Password;
        break;
    case Stage::Password:
        if (!overlong && !state_->faults().refuseLogin && user_ == cfg.user && text == cfg.password) {
            stage_ = Stage::Command;
            state_->noteLogin();
            out_->send("\r\nOK\r\n");
            if (cfg.idleLogoutMs > 0)
                idle_.start(cfg.idleLogoutMs);
        } else {
            stage_ = Stage::User;
            out_->send("\r\nLogin incorrect\r\n" + prompt());
        }
        user_.clear();
        break;
    case Stage::Command:
        handleCommand(text, overlong);
        break;
    }
}

void Session::handleCommand(const QByteArray& text, bool overlong)
{
    if (text.isEmpty() && !overlong)
        return; // an empty line is no command
    ++commands_;
    const Faults f = state_->faults();
    const Config& cfg = state_->config();

    if (f.silent) {
        // nothing
    } else if (f.errorToAll || overlong || !(text.startsWith("AT") || text.startsWith("at"))) {
        sendError();
    } else {
        const QByteArray body = text.mid(2);
        const QByteArray command = "AT" + body;
        if (body.isEmpty() || body == "&M0") {
            sendReply({});
        } else if (body == "I3") {
            sendReply({ati3Text(cfg)});
        } else if (body == "I4") {
            sendReply({ati4Text(cfg)});
        } else if (body.startsWith('%')) {
            // "AT%KEY=value"; some tools send the printf format's "%%" as it stands.
            const QByteArray set = body.startsWith("%%") ? body.mid(2) : body.mid(1);
            const qsizetype eq = set.indexOf('=');
            if (eq > 0 && state_->setChecked(set.left(eq), set.mid(eq + 1)) == GatewayState::SetResult::Ok)
                sendReply({});
            else
                sendError();
        } else if (state_->isView(command)) {
            sendReply(state_->listing(command), command);
        } else {
            sendError();
        }
    }
    if (f.dropAfterCommands > 0 && commands_ == f.dropAfterCommands)
        out_->sendDrop();
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
    pages_.clear();
    QByteArray page = kCrLf;
    int inPage = 0;
    for (const QByteArray& line : lines) {
        if (inPage == pageSize && state_->isPaged(view)) {
            pages_.append(page + kPageEnd);
            page.clear();
            inPage = 0;
        }
        page += line + kCrLf;
        ++inPage;
    }
    pages_.append(page + tail);

    out_->send(pages_.takeFirst(), f.replyDelayMs);
}

void Session::sendNextPage()
{
    if (!pages_.isEmpty())
        out_->send(pages_.takeFirst());
}

} // namespace gatewaysim
