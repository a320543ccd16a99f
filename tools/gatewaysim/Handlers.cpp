// The one list of what the simulated gateway can do: each file installs its modes and commands into the table.
// To add a handler, write its file with an install function and add two lines here (docs/gatewaysim.md).
#include "gatewaysim/Mode.h"

namespace gatewaysim {

void installLogin(HandlerTable& table);         // LoginMode.cpp: Mode::User, Mode::Password
void installCommandMode(HandlerTable& table);   // CommandMode.cpp: Mode::Command
void installInterfaceCommands(HandlerTable& table); // InterfaceCommands.cpp: AT%I00= (interface restart)
void installBasicCommands(HandlerTable& table); // BasicCommands.cpp: AT, ATI3, ATI4, AT%, the views
void installPagedListing(HandlerTable& table);  // PagedListing.cpp: Mode::Paged
void installXmodem(HandlerTable& table);        // XmodemModes.cpp: Mode::XmodemSend, Mode::XmodemReceive
void installVoiceCommands(HandlerTable& table); // VoiceCommands.cpp: AT!M<n>=..., Mode::VoiceRecord
void installResetCommands(HandlerTable& table); // ResetCommands.cpp: the resets, Mode::Restart
void installTraceCommands(HandlerTable& table); // TraceCommands.cpp: the trace start, Mode::Trace
void installFirmwareLoader(HandlerTable& table); // FirmwareLoader.cpp: Mode::Boot, AT!K2RM
void installRecordCommands(HandlerTable& table); // RecordCommands.cpp: records, X80, AT!Q, Mode::CallDelete
void installOnlineToolCommands(HandlerTable& table); // OnlineToolCommands.cpp: AT&I<m>, AT&U
void installDiagCommands(HandlerTable& table); // DiagCommands.cpp: AT&S0<m>, AT&SPX, AT&SEX, AT&Q<m>
void installTestCallCommands(HandlerTable& table); // TestCallCommands.cpp: AT!S..., AT!W..., Mode::TestCall
void installModuleCommands(HandlerTable& table); // ModuleCommands.cpp: AT&G<m>=<text>
void installActualCallCommands(HandlerTable& table); // ActualCallCommands.cpp: AT&XC, AT&AD

const HandlerTable& HandlerTable::instance()
{
    static const HandlerTable table = [] {
        HandlerTable t;
        installLogin(t);
        installCommandMode(t);
        installInterfaceCommands(t); // before the general AT% of installBasicCommands
        installResetCommands(t); // its row deletions go before the AT% of the basic commands
        installTraceCommands(t);
        installRecordCommands(t); // its AT%X80= and resets go before the AT% of the basic commands
        installBasicCommands(t); // command mode's commands are tried in the order they were added
        installPagedListing(t);
        installXmodem(t);
        installVoiceCommands(t);
        installFirmwareLoader(t);
        installOnlineToolCommands(t);
        installDiagCommands(t);
        installTestCallCommands(t);
        installModuleCommands(t);
        installActualCallCommands(t);
        return t;
    }();
    return table;
}

} // namespace gatewaysim
