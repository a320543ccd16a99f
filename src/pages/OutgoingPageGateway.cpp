// The GSM outgoing groups page and the gateway: its load, its save, its checks, the copies to and from the
// image and its buttons.
#include "pages/OutgoingPage.h"

#include "config/Parametres.h"
#include "exchange/GroupsExchange.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "pages/GroupsPageUtil.h"
#include "pages/PageFrame.h"
#include "pages/PageState.h"
#include "ui/KeyFilters.h"
#include "ui/TfMain.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTabBar>

namespace {

constexpr qsizetype kReplySize = 1024;

// One command through SendCommand; its reply, also when it failed.
QByteArray exchangeCommand(const QByteArray& command, const QString& itemLine, bool* ok = nullptr)
{
    QByteArray reply;
    const bool sent = SendCommand(command, reply, kReplySize, LoadErrors, itemLine);
    if (ok)
        *ok = sent;
    return reply;
}

} // namespace

bool OutgoingPage::outgoingLoad()
{
    for (int n = 1; n <= 2; ++n) {
        TOutgoing& r = outgoingWork[size_t(n - 1)];
        const QByteArray reply = exchangeCommand("AT&V" + QByteArray::number(n) + "\r\n", outgoingViewLine(n));
        readOutgoingGroup(reply, n, r, LoadErrors);
        // A whole-gateway load has the system page's "AT&V" reply already.
        QByteArray replyV = viewReplyCache.atV;
        if (replyV.isEmpty())
            replyV = exchangeCommand(QByteArrayLiteral("AT&V\r\n"), kOutLineSmsView);
        r.smsText = fromWire(ReplyValue(QByteArrayLiteral("S85="), replyV));
    }
    bool ok = false;
    const QByteArray reply0 = exchangeCommand(QByteArrayLiteral("AT&V0\r\n"), kOutLineClipView, &ok);
    const QString conversion = fromWire(ReplyValue(QByteArrayLiteral("G109="), reply0));
    for (TOutgoing& r : outgoingWork)
        r.clipPrefixConversion = conversion;
    forgetTypedTimes();
    tcOutgoingChange();
    outgoingSaveFile();
    return ok;
}

bool OutgoingPage::outgoingSave()
{
    if (cbOutSame->isChecked())
        outgoingWork[1] = outgoingWork[0];
    for (int n = 1; n <= 2; ++n) {
        const TOutgoing& r = outgoingWork[size_t(n - 1)];
        exchangeCommand(outgoingLimitsCommand(n, r), kOutLineLimits);
        exchangeCommand(outgoingMessagesCommand(n, r), kOutLineMessages);
        // A time a person left half-typed ("1_:__") is never sent: the page's Save button refuses it before,
        // the whole-gateway save lists the group's window as failed. The gateway's own windows go back as
        // they came, whatever their form.
        if (typedTimesWhole(n - 1))
            exchangeCommand(outgoingTimeCommand(n, r), kOutLineTime);
        else if (!LoadErrors.contains(kOutLineTime))
            LoadErrors += kOutLineTime;
    }
    const TOutgoing& first = outgoingWork[0];
    exchangeCommand(outgoingSmsTextCommand(first), kOutLineSmsText);
    bool ok = false;
    exchangeCommand(outgoingClipPrefixCommand(first), kOutLineClipPrefix, &ok);
    return ok;
}

bool OutgoingPage::outgoingValid()
{
    if (edOutSmsNumber->text().isEmpty()) {
        markInvalid(edOutSmsNumber, true);
        return false;
    }
    return true;
}

std::array<QLineEdit*, 4> OutgoingPage::outgoingTimeEdits() const
{
    return {edOutFrom1, edOutTo1, edOutFrom5, edOutTo5};
}

void OutgoingPage::keepTypedTimes()
{
    const std::array<QLineEdit*, 4> edits = outgoingTimeEdits();
    for (size_t i = 0; i < edits.size(); ++i)
        outgoingTyped[size_t(outgoingEditsGroup)][i] = edits[i]->isModified();
}

void OutgoingPage::forgetTypedTimes()
{
    outgoingTyped = {};
    for (QLineEdit* e : outgoingTimeEdits())
        e->setModified(false);
}

bool OutgoingPage::typedTimesWhole(int group)
{
    keepTypedTimes();
    // With "same settings" the second group goes out as a copy of the first.
    const size_t g = group == 1 && !cbOutSame->isChecked() ? 1 : 0;
    const TOutgoing& r = outgoingWork[g];
    const std::array<bool, 4>& typed = outgoingTyped[g];
    const auto whole = [&typed](const QString& window, size_t from) {
        const OutgoingWindow w = parseOutgoingWindow(window);
        return (!typed[from] || isCompleteTime(w.from)) && (!typed[from + 1] || isCompleteTime(w.to));
    };
    return whole(r.sim.window1, 0) && (!r.sim.secondInterval || whole(r.sim.window2, 2));
}

bool OutgoingPage::outgoingTimesValid()
{
    const int groups = cbOutSame->isChecked() ? 1 : 2;
    for (int g = 0; g < groups; ++g) {
        if (typedTimesWhole(g))
            continue;
        // The group's tab is shown (its edits get back their modified flags) with the half-typed times marked.
        if (tcOutgoing->currentIndex() != g)
            tcOutgoing->setCurrentIndex(g);
        for (QLineEdit* e : outgoingTimeEdits())
            TimeEditComplete(e);
        return false;
    }
    return true;
}

void OutgoingPage::outgoingSaveFile()
{
    GateConfig.outgoing = outgoingWork;
}

void OutgoingPage::outgoingLoadFile()
{
    outgoingWork = GateConfig.outgoing;
    forgetTypedTimes();
}

const PageFrame& OutgoingPage::outgoingFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = pcOutgoing;
        f.defaultMask = gsOutgoing;
        f.fileMask = gsOutgoing;
        f.fileFailureCaption = kCaptionError;
        f.load = [] { return fMain->outgoingLoad(); };
        f.save = [] { return fMain->outgoingSave(); };
        f.unreachedLines = outgoingViewLine(1) + kOutLineSmsView + outgoingViewLine(2) + kOutLineClipView;
        f.saveValid = [] { return fMain->outgoingTimesValid(); };
        f.fileValid = [] { return fMain->outgoingValid(); };
        f.timesValid = [] { return fMain->outgoingTimesValid(); };
        f.toImage = [] { fMain->outgoingSaveFile(); };
        f.fromImage = [] {
            fMain->outgoingLoadFile();
            fMain->tcOutgoingChange();
        };
        return f;
    }();
    return frame;
}

void OutgoingPage::sbOutLoadClick()
{
    outgoingFrame().loadClick();
}

void OutgoingPage::sbOutSaveClick()
{
    outgoingFrame().saveClick();
}

void OutgoingPage::sbOutDefaultClick()
{
    outgoingFrame().defaultClick();
}

void OutgoingPage::sbOutSaveFileClick()
{
    outgoingFrame().saveFileClick();
}
