#pragma once
// The online commands page: one command text passed to one GSM module ("AT&G<m>=<text>\r") and the module's
// reply shown until it ends with OK, BUSY or ERROR. On a serial port or modem line a TOnlineCommands reader
// brings the reply (online/OnlineCommands.h); on the telnet link the router puts it into the view and hands
// the page the text. The page registers as a live tool (link/LiveTools.h).
//
// Whether a run is active is its reader or its route, never the button's caption: the label pass writes the
// Start text whatever runs, and the reader turns the button to Start on an OK it sees in a chunk while it goes
// on reading. The button does what it shows: Start sends a command (a reader that runs goes on), Stop ends.
#include "texts/Labels.h"

#include <QByteArray>

class QEventLoop;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QWidget;

class CommandsPage
{
public:
    QScrollArea* pCommands = nullptr;
    QPlainTextEdit* m1 = nullptr;
    QLabel* lbCommand = nullptr;
    QLineEdit* edCommand = nullptr;
    QLabel* lbCmdModule = nullptr;
    QSpinBox* seModule = nullptr;
    QPushButton* sbCommandsStart = nullptr;

    void buildCommandsPage(QWidget* host);
    void setLabelsCommands(const Tlabels& labels);

    // Start or Stop, as the button shows.
    void sbCommandsStartClick();

    // True while a run is active: its reader exists or its telnet route is on.
    static bool commandsRuns();

private:
    bool commandsSection(bool chosen);
    void startCommands();
    void stopCommands();
    void waitForEnd();
    void abandonCommandsRun();
    void commandsSerialChunk(const QByteArray& chunk);
    void commandsTelnetText(const QByteArray& text);
    void commandsReplyEnded();
    void endCommandsRun();
    void commandsIdle();
    void offerStart();

    bool stopOffered_ = false;       // the button shows Stop and stops when pressed
    int run_ = 0;                    // counts the Starts, so a wait ends only the run it was for
    QEventLoop* stopWait_ = nullptr; // a Stop waiting for the reply's end
};
