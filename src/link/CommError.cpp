#include "link/CommError.h"

#include "link/ExchangeState.h"
#include "platform/Dialogs.h"
#include "platform/Wait.h"
#include "texts/Labels.h"

#include <atomic>
#include <limits>

namespace {

constexpr quint64 kNone = std::numeric_limits<quint64>::max();
constexpr int kErrorCaption = 47;

// The link's epoch (LinkEpoch) the user's Disconnect left; kNone once its work has returned.
std::atomic<quint64> userClosedEpoch{kNone};

} // namespace

void NoteUserDisconnect()
{
    const quint64 epoch = LinkEpoch();
    userClosedEpoch = epoch;
    afterNestedWaits([epoch] {
        quint64 expected = epoch;
        userClosedEpoch.compare_exchange_strong(expected, kNone);
    });
}

bool LinkEndedByUser()
{
    return userClosedEpoch.load() == LinkEpoch();
}

void CommErrorBox()
{
    if (!LinkEndedByUser())
        MessageBox(labelText(kCommErrorText), labelText(kErrorCaption), MB_ICONERROR);
}
