#pragma once
// The actual calls page: the calls in progress, or the dynamic CLIP routing table (the same page under the CLIP
// table's topic), asked for once a second and shown as the gateway writes them. The page registers as a live
// tool (link/LiveTools.h): its poll timer stops when the topic is left, at Disconnect and at the close, and
// the keep-alive stands aside while it runs.
#include "texts/Labels.h"

#include <QByteArray>

class QGroupBox;
class QPlainTextEdit;
class QRadioButton;
class QScrollArea;
class QTimer;
class QWidget;
struct ActualTable;

class ActualCallsPage
{
public:
    QScrollArea* pActual = nullptr;
    QGroupBox* gb1 = nullptr; // the arrangements; hidden under the CLIP table's topic
    QRadioButton* rb1 = nullptr;
    QRadioButton* rb2 = nullptr;
    QRadioButton* rb3 = nullptr;
    QRadioButton* rb4 = nullptr;
    QPlainTextEdit* mmActual = nullptr; // the table of the last complete poll
    QTimer* tActual = nullptr;          // the poll, every 1000 ms while the page (or the CLIP table) is shown

    void buildActualCallsPage(QWidget* host);
    void setLabelsActual(const Tlabels& t);

    void tActualTimer();
    // One poll: the table of the topic on show (actual calls or CLIP table) into mmActual. More than three
    // polls in a row that did not complete give up the page.
    void PollActualCalls();

private:
    bool actualSection(int topic, bool chosen);
    bool fetchActualTable(const ActualTable& table, quint64 entry);
    void stopActualPolls();

    bool actualPollRunning_ = false;
    // Counts the entries and leavings of the page: a poll or an entering step that waited on the gateway
    // while the page was left or entered anew drops what it got.
    quint64 actualEntries_ = 0;
};
