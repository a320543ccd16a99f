#pragma once
// The test calls page: an outgoing test call (Dial) or the wait for an incoming one (Connect), the gateway's
// running account of it in mmTest and, when saving is on, in the log file; Disconnect breaks the call off,
// Stop ends the run. The commands and the chunk rules are in online/TestCalls.h; the page registers as a live
// tool (link/LiveTools.h).
//
// A run goes through the phases Idle, Calling (started: Disconnect enabled), Tracing (the gateway's OK came
// and the hang-up was sent: Stop enabled) and back to Idle; the buttons show the phase.
#include "texts/Labels.h"

#include <QByteArray>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QWidget;

class TestCallsPage
{
public:
    QScrollArea* pTest = nullptr;
    QGroupBox* gbTest1 = nullptr;
    QRadioButton* rbRotating = nullptr;
    QRadioButton* rbVia = nullptr;
    QSpinBox* seVia = nullptr;
    QRadioButton* rbRotating2 = nullptr;
    QRadioButton* rbVia2 = nullptr;
    QSpinBox* seVia2 = nullptr;
    QRadioButton* rbViaGsm = nullptr;
    QSpinBox* seViaGsm = nullptr;
    QRadioButton* rbToGsm = nullptr;
    // Hidden, without a part in the behaviour: "Connect 2 GSM modules".
    QRadioButton* rbConnect = nullptr;
    QSpinBox* seConnect1 = nullptr;
    QSpinBox* seConnect2 = nullptr;
    QLabel* lb2called = nullptr;
    QLineEdit* edNumber2 = nullptr;
    QLabel* lbLimit = nullptr;
    QSpinBox* seLimit = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* lbCalled = nullptr;
    QLineEdit* edNumber1 = nullptr;
    QPushButton* sbDial = nullptr;
    QGroupBox* gbTest2 = nullptr;
    QRadioButton* rbFirstIsd = nullptr;
    QRadioButton* rbIncoming = nullptr;
    QSpinBox* seIncoming = nullptr;
    QRadioButton* rbFirstIsd2 = nullptr;
    QRadioButton* rbIncoming2 = nullptr;
    QSpinBox* seIncoming2 = nullptr;
    QRadioButton* rbFrom = nullptr;
    QSpinBox* seFrom = nullptr;
    QRadioButton* rbFirstGsm = nullptr;
    QPushButton* sbConnect = nullptr;
    QPushButton* sbDisconnect = nullptr;
    QPlainTextEdit* mmTest = nullptr;
    QLineEdit* edFile = nullptr;
    QPushButton* sbFile = nullptr;
    QCheckBox* cbTestTracingSave = nullptr;
    QPushButton* sbStop = nullptr;
    QPushButton* sbClear = nullptr;

    // Cleared on the first entry of the topic, which checks the model's default options.
    bool testPageFirstEntry = true;

    ~TestCallsPage();

    void buildTestCallsPage(QWidget* host);
    void setLabelsTestCalls(const Tlabels& labels);
    // The captions that name a BRI port (model 0: "BRI1" and "BRI2"; any other model: the one "BRI"); the label
    // pass and the model layout both write them here.
    void setTestCallPortCaptions(const Tlabels& labels, int model);

    void sbDialClick();
    void sbConnectClick();
    void sbDisconnectClick();
    void sbStopClick();
    // The Stop's steps. owesReply: the test still runs on the gateway, whose OK that ends it is then due; a test
    // that the gateway has ended itself answers the line end with nothing.
    void stopTestCall(bool owesReply);
    void sbClearClick();
    void sbFileClick();
    // The reply handler for one received chunk.
    void testCallReceive(const QByteArray& text);

    // True while a run is active (its reader or its telnet route).
    static bool testCallRuns();

private:
    void startTestCall(const QByteArray& command);
    void setTestCallModelLayout(int model);
    bool testCallSection(bool chosen);
    // Back to Idle after a run ended other than by Stop (the topic left, Disconnect).
    void testCallIdle();
    // After a failed start: the whole-gateway runs are given back when no run came about.
    void testStartFailed();
    void showTestText(const QByteArray& text);
    QByteArray dialCommand();
    QByteArray waitCommand();

    // Set while a run is being ended: a chunk that comes meanwhile is shown and logged only.
    bool testEnding_ = false;
};
