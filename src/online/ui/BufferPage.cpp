#include "online/ui/BufferPage.h"

#include "link/CommError.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/ui/ConnectionPart.h"
#include "online/GatewayClock.h"
#include "platform/Dialogs.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int kBufferTopic = 494;

} // namespace

void BufferPage::buildBufferPage(QWidget* host)
{
    pBuffer = addTopicPage(host, "pBuffer", kBufferTopic);
    QWidget* page = pBuffer->widget();
    auto* grid = new QGridLayout;
    const char* const captions[5][2] = {{"lbBufferCount", "Count of loop passing :"},
                                        {"lbBufferLongest", "The longest loop passing :"},
                                        {"lbBufferSystem", "Maximal use of system stack :"},
                                        {"lbBufferApp", "Maximal use of application stack :"},
                                        {"lbBufferRecords", "Count of records about calls :"}};
    QLabel** captionCells[5] = {&lbBufferCount, &lbBufferLongest, &lbBufferSystem, &lbBufferApp, &lbBufferRecords};
    QLabel** valueCells[5] = {&lbBuffer1, &lbBuffer2, &lbBuffer3, &lbBuffer4, &lbBuffer5};
    for (int i = 0; i < 5; ++i) {
        *captionCells[i] = named(new QLabel(QString::fromLatin1(captions[i][1]), page), captions[i][0]);
        const QByteArray valueName = "lbBuffer" + QByteArray::number(i + 1);
        *valueCells[i] = named(new QLabel(page), valueName.constData());
        grid->addWidget(*captionCells[i], i, 0);
        grid->addWidget(*valueCells[i], i, 1);
    }
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addStretch();
    if (fMain)
        fMain->setTopicSection(kBufferTopic, [this](bool chosen) { return bufferSection(chosen); });
}

void BufferPage::setLabelsBuffer(const Tlabels& t)
{
    lbBufferCount->setText(labelOr(t, 496, QStringLiteral("Count of loop passing :")));
    lbBufferLongest->setText(labelOr(t, 497, QStringLiteral("The longest loop passing :")));
    lbBufferSystem->setText(labelOr(t, 498, QStringLiteral("Maximal use of system stack :")));
    lbBufferApp->setText(labelOr(t, 499, QStringLiteral("Maximal use of application stack :")));
    lbBufferRecords->setText(labelOr(t, 500, QStringLiteral("Count of records about calls :")));
}

bool BufferPage::bufferSection(bool chosen)
{
    if (!chosen) {
        pBuffer->hide();
        return true;
    }
    fMain->showTopicTitle(kBufferTopic, true);
    connectForPageRun();
    if (!CurrentConnection.Connected)
        return false;
    pBuffer->show();
    pBuffer->raise();
    pBuffer->repaint();
    // The probe's answer is read to its verdict: an "OK" that came late would be taken for the answer to "AT!Q".
    // A probe the gateway has not answered within the bound leaves its answer still to come, so "AT!Q" is not
    // asked then.
    const ExchangeResult probe = SendWholeCommand(QByteArrayLiteral("at\r\n"), 100);
    if (RefusedForWait(probe))
        return false;
    if (probe.refused || (probe.written && (!probe.reply.endsWith('\n') || !ReplyHasVerdict(probe.reply)))) {
        CommErrorBox();
        return false;
    }
    WaitPumping(100);
    const ExchangeResult e = SendWholeCommand(QByteArrayLiteral("AT!Q\r\n"), 100);
    const QByteArray& reply = e.reply;
    if (RefusedForWait(e))
        return false;
    if (!e.written || !ReplyHasOkLine(reply)) {
        CommErrorBox();
        return false;
    }
    const QList<QByteArray> values = BufferStateValues(reply);
    QLabel* cells[5] = {lbBuffer1, lbBuffer2, lbBuffer3, lbBuffer4, lbBuffer5};
    for (int i = 0; i < 5; ++i)
        cells[i]->setText(QString::fromLatin1(values[i]));
    return true;
}
