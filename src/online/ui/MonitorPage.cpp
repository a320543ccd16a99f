#include "online/ui/MonitorPage.h"

#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/ui/ConnectionPart.h"
#include "online/GatewayClock.h"
#include "online/OnlineQueries.h"
#include "platform/Cp1250.h"
#include "platform/Dialogs.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/WindowUtil.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>

namespace {

constexpr qsizetype kMonitorReplySize = 4096;

} // namespace

void MonitorPage::buildMonitorPage(QWidget* host)
{
    pMonitor = addTopicPage(host, "pMonitor", 543);
    QWidget* page = pMonitor->widget();
    lbMonitor = named(new QLabel(QStringLiteral("GSM module # :"), page), "lbMonitor");
    ed1 = named(new QSpinBox(page), "ed1");
    ed1->setRange(0, 1);
    ed1->setValue(0);
    EmptiedSpinFilter::install(ed1);
    sbSend = named(new QPushButton(QStringLiteral("Send request"), page), "sbSend");
    mMonitor = named(new QPlainTextEdit(page), "mMonitor");
    mMonitor->setReadOnly(true);
    mMonitor->setFont(QFont(QStringLiteral("Courier New")));

    auto* grid = new QGridLayout(page);
    grid->addWidget(lbMonitor, 0, 0);
    grid->addWidget(ed1, 0, 1);
    grid->addWidget(sbSend, 0, 2);
    grid->setColumnStretch(3, 1);
    grid->addWidget(mMonitor, 1, 0, 1, 4);
    grid->setRowStretch(1, 1);

    QObject::connect(sbSend, &QPushButton::clicked, page, [this] { sbSendClick(); });
}

void MonitorPage::setLabelsMonitor(const Tlabels& t)
{
    lbMonitor->setText(labelOr(t, 547, QStringLiteral("GSM module # :")));
    sbSend->setText(labelOr(t, 546, QStringLiteral("Send request")));
}

void MonitorPage::sbSendClick()
{
    connectForPageRun();
    if (!CurrentConnection.Connected)
        return;
    const QByteArray command = MonitorCommand(SpinFieldValue(ed1));
    // The module's answer may come more slowly than one read: it is read up to the gateway's verdict line.
    const ExchangeResult e = SendWholeCommand(command, 10, wholeReplyMs, true);
    if (!e.written)
        return;
    const QByteArray reply = e.reply.left(kMonitorReplySize - 1);
    if (reply.contains("BUSY")) {
        MessageBox(labelOr(labelTexts, 545, QStringLiteral("The gateway is busy, try it again later.")), labelText(45),
                   MB_ICONWARNING);
        return;
    }
    mMonitor->clear();
    mMonitor->setPlainText(decodeCp1250(reply));
}
