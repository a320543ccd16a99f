#pragma once
// The real main window, started in English, against a simulated gateway on loopback. The gateway is known
// to the program as the listed gateway "sim" (telnet, user admin/admin) with its gate file sim.ini in the
// program folder; nothing is connected until a test clicks a button or calls connectGateway().
#include "support/MainWindowFixture.h"

#include "config/Parametres.h"
#include "gatewaysim/Gateway.h"
#include "link/LinkState.h"
#include "link/ui/ConnectionPart.h"
#include "pages/PageState.h"
#include "platform/Dialogs.h"
#include "texts/Labels.h"
#include "ui/TfMain.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <memory>

inline QStringList causeEntries()
{
    QStringList entries;
    for (int i = 0; i < fMain->lbBasicCauses->count(); ++i)
        entries << fMain->lbBasicCauses->item(i)->text();
    return entries;
}

// Answers the profile choice (or any dialog) by taking the given row and pressing OK.
inline ScriptedDialogs::ModalScript pickProfile(int row)
{
    return [row](QDialog* dialog) {
        if (auto* list = dialog->findChild<QListWidget*>(QStringLiteral("ListBox1")))
            list->setCurrentRow(row);
        dialog->accept();
    };
}

// A time or date as a person leaves it in its edit, half-typed or not (the program's own texts are not
// marked as edited).
inline void typeInto(QLineEdit* edit, const char* text)
{
    edit->setText(QString::fromLatin1(text));
    edit->setModified(true);
}

class PageTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        copyData(QStringLiteral("defaults.ini"));
        copyData(QStringLiteral("defaults"));
        writeSettings("language=1\nCommType=2\nLanTimeout=1000\n");
        ASSERT_NO_FATAL_FAILURE(startUp());
        startGateway(gatewaysim::Config());
    }

    void TearDown() override
    {
        if (fMain && CurrentConnection.Connected)
            fMain->mDisconnectClick();
        gateway.reset();
        MainWindowFixture::TearDown();
    }

    void startGateway(const gatewaysim::Config& config)
    {
        if (fMain && CurrentConnection.Connected)
            fMain->mDisconnectClick();
        gateway = std::make_unique<gatewaysim::Gateway>(config);
        ASSERT_TRUE(gateway->isValid()) << qPrintable(gateway->errorString());
        const quint16 port = gateway->startTcp();
        ASSERT_NE(port, 0);
        CurrentGateway.Name = QStringLiteral("sim");
        CurrentGateway.Host = QStringLiteral("127.0.0.1");
        CurrentGateway.Port = port;
        CurrentGateway.Username = QStringLiteral("admin");
        CurrentGateway.Password = QStringLiteral("admin");
        CurrentGateway.File = path(QStringLiteral("sim.ini"));
        CurrentConnection.LinkType = LinkTelnet;
        CurrentConnection.LanTimeout = 1000;
        dialogs().clearRecords();
    }

    // Connects the way the pages do, then forgets what the connect sent and showed.
    void connectGateway()
    {
        CurrentConnection = ConnectToGateway(false, fMain, false);
        ASSERT_TRUE(CurrentConnection.Connected);
        gateway->clearLog();
        dialogs().clearRecords();
    }

    void setFaults(const std::function<void(gatewaysim::Faults&)>& change)
    {
        gatewaysim::Faults f = gateway->faults();
        change(f);
        gateway->setFaults(f);
    }

    int timesReceived(const QByteArray& line) const { return int(gateway->receivedLines().count(line)); }

    // The command lines received, without the empty lines the telnet link's "\r" -> "\r\n" adds.
    QList<QByteArray> commandsReceived() const
    {
        QList<QByteArray> lines = gateway->receivedLines();
        lines.removeAll("\n");
        return lines;
    }

    // Clicks with a clean slate: no earlier box, no earlier line in the gateway's log.
    void press(QAbstractButton* button)
    {
        gateway->clearLog();
        dialogs().clearRecords();
        button->click();
    }

    void expectOnlyBox(const QString& text, int caption, unsigned flags)
    {
        ASSERT_EQ(dialogs().boxes().size(), 1) << qPrintable(dialogs().boxTexts().join(QStringLiteral(" | ")));
        const ScriptedDialogs::Box& box = dialogs().boxes().first();
        EXPECT_EQ(box.text, text) << qPrintable(box.text);
        EXPECT_EQ(box.caption, labelText(caption));
        EXPECT_EQ(box.flags, flags);
    }

    void expectInfoBox(int text) { expectOnlyBox(labelText(text), 54, MB_ICONINFORMATION); }
    // The box that ends a run with failed items: the heading, then the listed lines.
    void expectListBox(int heading, const QString& lines)
    {
        expectOnlyBox(labelText(heading) + QLatin1Char('\n') + lines, 45, MB_ICONWARNING);
    }

    std::unique_ptr<gatewaysim::Gateway> gateway;
};
