// The login: the prompt, the user name, the password. A right pair leads to command mode.
#include "gatewaysim/Session.h"

namespace gatewaysim {

namespace {

QByteArray prompt(const Session& session)
{
    return "\r\n" + session.config().model.toLatin1() + " login: ";
}

class PasswordMode : public ModeHandler
{
public:
    void setUser(const QByteArray& user) { user_ = user; }

protected:
    // The password is never echoed.
    void onLine(Session& session, const QByteArray& text, bool overlong) override
    {
        const Config& cfg = session.config();
        if (!overlong && !session.faults().refuseLogin && user_ == cfg.user && text == cfg.password) {
            session.switchTo(Mode::Command);
            session.state().noteLogin();
            session.send("\r\nOK\r\n");
            session.startIdleLogout();
        } else {
            session.switchTo(Mode::User);
            session.send("\r\nLogin incorrect\r\n" + prompt(session));
        }
        user_.clear();
    }

private:
    QByteArray user_;
};

class UserMode : public ModeHandler
{
public:
    void greet(Session& session) override { session.send(prompt(session)); }

protected:
    bool echoes() const override { return true; }
    void onLine(Session& session, const QByteArray& text, bool) override
    {
        if (text.isEmpty()) {
            session.send(prompt(session));
            return;
        }
        session.handler<PasswordMode>(Mode::Password).setUser(text);
        session.send("\r\nPassword: ");
        session.switchTo(Mode::Password);
    }
};

} // namespace

void installLogin(HandlerTable& table)
{
    table.setMode(Mode::User, [] { return std::make_unique<UserMode>(); });
    table.setMode(Mode::Password, [] { return std::make_unique<PasswordMode>(); });
}

} // namespace gatewaysim
