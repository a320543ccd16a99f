#pragma once
// The diagnostics page: the state of the gateway's two GSM modules (layer states, network, cell, module and SIM
// identities, signal) and of its BRI ports (one list each), polled while the page is shown. The poll itself is
// online/Diagnostics; this part enters and leaves the topic, runs the poll on the worker (serial port, telnet)
// or on the 30 s timer (modem line), and shows what the poll finds.
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/LiveTools.h"
#include "online/LiveCells.h"
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <QScrollArea>
#include <QTimer>
#include <optional>

class LiveWorker;
class QGroupBox;
class QLabel;
class QTreeWidget;
struct DiagCell;
struct DiagPollIo;

class DiagPage
{
public:
    QScrollArea* pDiag = nullptr;
    QTimer* tDiag = nullptr;      // the diagnostics poll on a modem line, every 30 s (other links poll in diagThread)
    QGroupBox* gbDiag1 = nullptr; // module 1 (module number 0 on the wire)
    QGroupBox* gbDiag2 = nullptr; // module 2
    QGroupBox* gbDiag3 = nullptr; // the first BRI port of a two-port gateway
    QGroupBox* gbDiag4 = nullptr; // the second BRI port, or the only one
    QTreeWidget* lv1 = nullptr;
    QTreeWidget* lv2 = nullptr;
    QLabel* lbB2tei = nullptr;
    // Per module: the caption labels l11/l12 ... l101/l102 and the value labels lb0layer2 ... lb1signal, in
    // the order of the rows (layer 2, layer 3, network, net id, cell, module id, revision, serial, SIM, signal).
    QLabel* diagCaptions[2][10] = {};
    QLabel* diagValues[2][10] = {};

    void buildDiagPage(QWidget* host);
    void setLabelsDiag(const Tlabels& t);
    // The lower BRI group's caption: "BRI %d diagnostics :" with 2 on a two-port gateway, "BRI Status :" on
    // any other. The label pass and the model layout both caption it here.
    void setDiagBriCaption(const Tlabels& t, int model);
    void setModelLayoutDiag(int model);

    // One poll on the window's thread (the modem line's).
    void diagRefresh();
    void tDiagTimer();

private:
    bool diagSection(bool chosen);
    // What the poll guard does when it trips: the page hidden, the timer and the worker stopped.
    void giveUpDiag();
    void diagWorkerRefresh(LiveWorker& worker);
    DiagPollIo diagModemIo();
    DiagPollIo diagWorkerIo(LiveWorker& worker);
    void showDiagModule(int module, const QList<QByteArray>& words);
    void showDiagSignal(int module, const QByteArray& signal);
    void showDiagBri(int list, const QList<DiagCell>& cells);

    bool diagPolling_ = false; // a poll runs on the window's thread
    // Held from a modem command's write until the next pause or the poll's end: its answer is awaited.
    std::optional<LinkWaitScope> diagWait_;
};
