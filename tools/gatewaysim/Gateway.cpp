#include "gatewaysim/Gateway.h"

#include "gatewaysim/Fixture.h"
#include "gatewaysim/GatewayState.h"
#include "gatewaysim/PtyLines.h"
#include "gatewaysim/Session.h"
#include "gatewaysim/TelnetServer.h"

#include <QMetaObject>
#include <QPointer>
#include <algorithm>

namespace gatewaysim {

Gateway::Gateway(const Config& config, QObject* parent) : QObject(parent), config_(config)
{
    Fixture fixture;
    bool ok;
    if (!config.fixtureText.isEmpty())
        ok = Fixture::parse(config.fixtureText, fixture, &error_);
    else if (!config.fixturePath.isEmpty())
        ok = Fixture::load(config.fixturePath, fixture, &error_);
    else
        ok = Fixture::parse(Fixture::builtInText(), fixture, &error_);
    if (!ok)
        return;

    state_ = std::make_unique<GatewayState>(config, fixture);
    state_->setLineObserver([this](int index, const QByteArray& raw) { emit lineLogged(index, raw); });
    thread_.setObjectName(QStringLiteral("gatewaysim"));
    host_ = new QObject;
    host_->moveToThread(&thread_);
    thread_.start();
}

Gateway::~Gateway()
{
    stop();
    if (state_)
        state_->setLineObserver(nullptr);
}

bool Gateway::runOnThread(const std::function<bool()>& fn)
{
    if (!host_ || !thread_.isRunning())
        return false;
    bool result = false;
    QMetaObject::invokeMethod(
        host_, [&] { result = fn(); }, Qt::BlockingQueuedConnection);
    return result;
}

quint16 Gateway::startTcp(quint16 port)
{
    quint16 result = 0;
    runOnThread([&] {
        auto* server = new TelnetServer(state_.get(), host_);
        result = server->listen(port);
        if (result == 0) {
            error_ = server->errorString();
            delete server;
        }
        return result != 0;
    });
    return result;
}

QString Gateway::startSerialPty()
{
    QString path;
    runOnThread([&] {
        auto* line = new SerialLine(state_.get(), host_);
        if (line->open(&path, &error_))
            return true;
        delete line;
        path.clear();
        return false;
    });
    return path;
}

QString Gateway::startModemPty()
{
    QString path;
    runOnThread([&] {
        auto* modem = new HayesModem(state_.get(), host_);
        if (modem->open(&path, &error_))
            return true;
        delete modem;
        path.clear();
        return false;
    });
    return path;
}

void Gateway::stop()
{
    if (!host_)
        return;
    runOnThread([this] {
        // Transports first, so that no session writes into a line that is going away.
        const QObjectList children = host_->children();
        qDeleteAll(children);
        return true;
    });
    thread_.quit();
    thread_.wait();
    delete host_;
    host_ = nullptr;
}

QList<QByteArray> Gateway::receivedLines() const
{
    return state_ ? state_->lines() : QList<QByteArray>();
}

QByteArray Gateway::receivedBytes() const
{
    return state_ ? state_->bytes() : QByteArray();
}

QList<QByteArray> Gateway::linesWhileReplying() const
{
    return state_ ? state_->linesWhileSending() : QList<QByteArray>();
}

void Gateway::clearLog()
{
    if (state_)
        state_->clearLog();
}

bool Gateway::hasKey(const QByteArray& key) const
{
    return state_ && state_->hasKey(key);
}

QByteArray Gateway::value(const QByteArray& key) const
{
    return state_ ? state_->value(key) : QByteArray();
}

bool Gateway::setValue(const QByteArray& key, const QByteArray& value)
{
    return state_ && state_->setValue(key, value);
}

bool Gateway::removeKey(const QByteArray& key)
{
    return state_ && state_->removeKey(key);
}

QByteArray Gateway::voiceMessage(int n) const
{
    return state_ ? state_->voiceMessage(n) : QByteArray();
}

void Gateway::setVoiceMessage(int n, const QByteArray& bytes)
{
    if (state_)
        state_->setVoiceMessage(n, bytes);
}

Faults Gateway::faults() const
{
    return state_ ? state_->faults() : config_.faults;
}

void Gateway::setFaults(const Faults& faults)
{
    if (state_)
        state_->setFaults(faults);
}

void Gateway::dropSessions()
{
    runOnThread([this] {
        const QList<Session*> sessions = host_->findChildren<Session*>();
        for (const QPointer<Session>& session : QList<QPointer<Session>>(sessions.begin(), sessions.end())) {
            if (session) // dropping one may have taken another with it
                session->drop();
        }
        return true;
    });
}

QString Gateway::terminalType() const
{
    return state_ ? state_->terminalType() : QString();
}

int Gateway::loginCount() const
{
    return state_ ? state_->loginCount() : 0;
}

int Gateway::connectionCount() const
{
    return state_ ? state_->connectionCount() : 0;
}

bool Gateway::modemInCall() const
{
    return state_ && state_->modemInCall();
}

bool Gateway::sending()
{
    return runOnThread([this] {
        const QList<Session*> sessions = host_->findChildren<Session*>();
        return std::any_of(sessions.begin(), sessions.end(), [](const Session* s) { return s->sending(); });
    });
}

} // namespace gatewaysim
