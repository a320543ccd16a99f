#include "config/Parametres.h"

void resetConfigState()
{
    GateConfig = TParametres{};
    outgoingWork = {};
    incomingWork = {};
    networkWork = {};
    gateReadSuccess = true;
}
