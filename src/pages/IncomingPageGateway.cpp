// The GSM incoming groups page and the gateway: its load, its save, the copies to and from the image and its
// buttons.
#include "pages/IncomingPage.h"

#include "config/Parametres.h"
#include "exchange/GroupsExchange.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "pages/PageFrame.h"
#include "pages/PageState.h"
#include "platform/Wait.h"
#include "ui/TfLoad.h"
#include "ui/TfMain.h"

#include <QCheckBox>
#include <QListWidget>
#include <QTabBar>

namespace {

constexpr qsizetype kReplySize = 1024;

void setStatus(const QString& text)
{
    if (fLoad)
        fLoad->SetStatus(text);
}

// One command as the page exchanges it: the status line, the write, a pause of 10 ms unless the reply is
// read at once, the reply. True when the whole command went out and the reply holds "OK".
bool exchange(const QByteArray& command, const QString& status, bool pause, QByteArray* reply = nullptr)
{
    setStatus(status);
    ReplyReading reading;
    reading.size = kReplySize;
    const ExchangeResult e = Exchange(command, pause ? 10 : 0, reading, true);
    const bool written = e.written;
    const QByteArray& text = e.reply;
    if (reply)
        *reply = text;
    return written && text.contains("OK");
}

bool sendSet(const QByteArray& command, bool pause = true)
{
    return exchange(command, QString::fromLatin1(command), pause);
}

void addOnce(const QString& line)
{
    if (!LoadErrors.contains(line))
        LoadErrors += line;
}

} // namespace

bool IncomingPage::incomingLoad()
{
    const QByteArray view = QByteArrayLiteral("AT&V9\r\n");
    QByteArray reply;
    if (!exchange(view, QStringLiteral("AT&&V9"), true, &reply)) {
        LoadErrors += kInLineAll;
        return false;
    }
    readIncomingGroups(reply, incomingWork, LoadErrors);
    lbInCalled->clear();
    for (const QString& number : incomingWork[size_t(tcIncoming->currentIndex() == 1 ? 1 : 0)].calledNumbers)
        lbInCalled->addItem(number);

    if (!exchange(view, QStringLiteral("AT&&V9"), true, &reply)) {
        LoadErrors += kInLinePrefixView;
        return false;
    }
    readIncomingPrefixConversion(reply, incomingWork);
    tcIncomingChange();
    incomingSaveFile();
    return true;
}

bool IncomingPage::incomingSave()
{
    bool ok = true;
    if (cbInSame->isChecked())
        incomingWork[1] = incomingWork[0];
    for (int g = 0; g < 2; ++g) {
        const TIncoming& r = incomingWork[size_t(g)];
        if (!sendSet(incomingGroupCommand(g, r))) {
            addOnce(kInLineGroup);
            ok = false;
        }
        WaitPumping(10);
        if (!sendSet(incomingLoopCommand(g, r))) {
            addOnce(kInLineLoop);
            ok = false;
        }
        WaitPumping(10);
        // A list too long for one command line (from a load, the defaults or a gate file) is not sent.
        const std::optional<QByteArray> called = incomingCalledCommand(g, r);
        if (!called || !sendSet(*called)) {
            addOnce(kInLineCalled);
            ok = false;
        }
    }

    WaitPumping(10);
    const int bits = incomingRoutingBits(cbInAdd->isChecked(), cbInDelete->isChecked(), cbInRouteDtmf->isChecked(),
                                         cbInDeniedDtfm->isChecked());
    if (!sendSet(incomingRoutingCommand(incomingWork[0].clipKeepHours, bits), false)) {
        LoadErrors += kInLineRouting;
        ok = false;
    }

    WaitPumping(10);
    QStringList entries;
    for (int i = 0; i < lbIn198PrefixList->count(); ++i)
        entries << lbIn198PrefixList->item(i)->text();
    if (!sendSet(incomingConversionsCommand(entries), false)) {
        LoadErrors += kInLineConversions;
        ok = false;
    }

    QByteArray reply;
    if (!SendCommand(incomingPrefixCommand(incomingWork[0].cdnPrefixConversion), reply, kReplySize, LoadErrors,
                     kInLinePrefix))
        ok = false;
    return ok;
}

void IncomingPage::incomingSaveFile()
{
    GateConfig.incoming = incomingWork;
}

void IncomingPage::incomingLoadFile()
{
    incomingWork = GateConfig.incoming;
}

const PageFrame& IncomingPage::incomingFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = pcIncoming;
        f.defaultMask = gsIncoming;
        f.fileMask = gsIncoming;
        f.fileFailureCaption = kCaptionError;
        f.fileSaveClearsFlag = false;
        f.load = [] { return fMain->incomingLoad(); };
        f.save = [] { return fMain->incomingSave(); };
        f.unreachedLines = kInLineAll;
        f.toImage = [] { fMain->incomingSaveFile(); };
        f.fromImage = [] {
            fMain->lbInCalled->clear();
            fMain->incomingLoadFile();
            fMain->tcIncomingChange();
        };
        return f;
    }();
    return frame;
}

void IncomingPage::sbInLoadClick()
{
    incomingFrame().loadClick();
}

void IncomingPage::sbInSaveClick()
{
    incomingFrame().saveClick();
}

void IncomingPage::sbInDefaultClick()
{
    incomingFrame().defaultClick();
}

void IncomingPage::sbInSaveFileClick()
{
    incomingFrame().saveFileClick();
}
