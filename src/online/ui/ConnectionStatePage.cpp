#include "online/ui/ConnectionStatePage.h"

#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/ui/ConnectionPart.h"
#include "online/GatewayClock.h"
#include "online/OnlineQueries.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/WindowUtil.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>

namespace {

constexpr int kConnectionTopic = 505;
constexpr int kStateReplyMs = 10000;
constexpr qsizetype kStateReplySize = 4096;

QString stateText(int k, const QString& english)
{
    return k == 0 ? QString() : labelOr(labelTexts, k, english);
}

} // namespace

void ConnectionStatePage::buildConnectionStatePage(QWidget* host)
{
    pConnection = addTopicPage(host, "pConnection", kConnectionTopic);
    QWidget* page = pConnection->widget();
    lbSelect = named(new QLabel(QStringLiteral("Select port :"), page), "lbSelect");
    lbPort = named(new QListWidget(page), "lbPort");
    lbPort->addItems({QStringLiteral("COM"), QStringLiteral("USB"), QStringLiteral("GSM")});
    lbPort->setFixedSize(120, lbPort->sizeHintForRow(0) * 3 + 2 * lbPort->frameWidth() + 4);
    lbShell = named(new QLabel(QStringLiteral("Shell state : "), page), "lbShell");
    lbTelnet = named(new QLabel(QStringLiteral("Telnet state : "), page), "lbTelnet");
    lbTunel = named(new QLabel(QStringLiteral("Tunneling (or TCP) state : "), page), "lbTunel");
    lbUser = named(new QLabel(QStringLiteral("Username : "), page), "lbUser");
    lbCon = named(new QLabel(QStringLiteral("Connected : "), page), "lbCon");
    lb1 = named(new QLabel(page), "lb1");
    lb2 = named(new QLabel(page), "lb2");
    lb3 = named(new QLabel(page), "lb3");
    lb4 = named(new QLabel(page), "lb4");
    lb5 = named(new QLabel(page), "lb5");

    auto* grid = new QGridLayout(page);
    grid->addWidget(lbSelect, 0, 0, 1, 2);
    grid->addWidget(lbPort, 1, 0, 1, 2, Qt::AlignLeft);
    const QLabel* captions[] = {lbShell, lbTelnet, lbTunel, lbUser, lbCon};
    QLabel* values[] = {lb1, lb2, lb3, lb4, lb5};
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(const_cast<QLabel*>(captions[i]), 2 + i, 0);
        grid->addWidget(values[i], 2 + i, 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(7, 1);

    QObject::connect(lbPort, &QListWidget::itemClicked, page, [this] { lbPortClick(); });

    if (fMain)
        fMain->setTopicSection(kConnectionTopic, [this](bool chosen) {
            if (chosen) {
                clearConnectionState();
                lbPort->setCurrentRow(-1);
                lbPort->clearSelection();
                fMain->showTopicPage(kConnectionTopic);
            } else {
                pConnection->hide();
            }
            return true;
        });
}

void ConnectionStatePage::setLabelsConnectionState(const Tlabels& t)
{
    lbShell->setText(labelOr(t, 509, QStringLiteral("Shell state : ")));
    lbTelnet->setText(labelOr(t, 510, QStringLiteral("Telnet state : ")));
    lbTunel->setText(labelOr(t, 511, QStringLiteral("Tunneling (or TCP) state : ")));
    lbUser->setText(labelOr(t, 512, QStringLiteral("Username : ")));
    lbCon->setText(labelOr(t, 513, QStringLiteral("Connected : ")));
    lbSelect->setText(labelOr(t, 736, QStringLiteral("Select port :")));
}

void ConnectionStatePage::clearConnectionState()
{
    for (QLabel* l : {lb1, lb2, lb3, lb4, lb5})
        l->clear();
}

void ConnectionStatePage::lbPortClick()
{
    connectForPageRun();
    if (!CurrentConnection.Connected)
        return;
    clearConnectionState();
    const QByteArray command(kConnectionStateCommand);
    // The table may come in pieces on every link: it is read up to its verdict line, so that none of it is left
    // for the next command.
    const ExchangeResult e = SendWholeCommand(command, 10, kStateReplyMs);
    if (!e.written)
        return;
    const QByteArray reply = e.reply.left(kStateReplySize - 1);
    const QListWidgetItem* item = lbPort->currentItem();
    if (!item || !item->isSelected())
        return;
    const auto cells = ConnectionStateOf(reply, item->text().toLatin1());
    if (!cells)
        return;
    lb1->setText(stateText(ShellStateText(cells->shell), QStringLiteral("Idle, waiting for commands")));
    lb2->setText(TelnetStateText(cells->telnet) == 507   ? stateText(507, QStringLiteral("User logged in"))
                 : TelnetStateText(cells->telnet) == 508 ? stateText(508, QStringLiteral("User logged out"))
                                                         : QString());
    lb3->setText(QString::fromLatin1(cells->tunnel));
    lb4->setText(QString::fromLatin1(cells->user));
    lb5->setText(QString::fromLatin1(cells->connected));
}
