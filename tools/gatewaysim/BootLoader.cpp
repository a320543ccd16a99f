// The boot loader, as far as it is simulated: its banner on a new connection and again on an empty line;
// other lines are logged and not answered. Nothing is echoed.
#include "gatewaysim/Session.h"

namespace gatewaysim {

namespace {

class BootLoader : public ModeHandler
{
public:
    void greet(Session& session) override { session.send(bootBanner(session.config())); }

protected:
    void onLine(Session& session, const QByteArray& text, bool) override
    {
        if (text.isEmpty())
            session.send(bootBanner(session.config()));
    }
};

} // namespace

void installBootLoader(HandlerTable& table)
{
    table.setMode(Mode::Boot, [] { return std::make_unique<BootLoader>(); });
}

} // namespace gatewaysim
