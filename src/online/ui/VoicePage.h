#pragma once
// The voice message page: a stored message of the gateway (the DISA message, two virtual ring tones) read into a
// .wav file, written from one, or erased, over XMODEM-CRC on the serial port; and, in a group no operation
// shows, a message recorded by the gateway itself over a call, on any link.
//
// A read receives into a temporary file beside the chosen one, which takes its name only when the transfer
// succeeded: a failed read leaves the old file as it was. The files are opened before any "AT!M" command, so a
// file that cannot be written or read stops the operation before the gateway is touched. Readers of other live
// tools still on the link are stopped (and joined) before a transfer, so no one else takes its bytes. From an
// operation's first write to its end the main window is disabled (its waits keep the window's events going) and
// the operation holds the link's port, so a port closed meanwhile fails its next write.
#include "online/LiveWorker.h"
#include "texts/Labels.h"

#include <QPointer>
#include <atomic>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTimer;
class QWidget;

// Set when the user chose the file with sbVoiceFile; while clear, a change of message type sets the default
// name. Selecting a gateway clears it.
inline bool voiceFileChosen = false;
// The recording over a call: its limit in seconds, its start on the whole-second clock, the erase seen by the
// erase watcher, and the watchers of the modem link.
inline std::atomic<int> voiceRecordLimit{8};
inline std::atomic<qint64> voiceRecordStart{0};
inline std::atomic<bool> voiceDeleteDone{false};
inline QPointer<LiveWorker> recordVoiceThread;
inline QPointer<LiveWorker> deleteVoiceThread;

class VoicePage
{
public:
    QScrollArea* pVoice = nullptr;
    QGroupBox* gbVoice1 = nullptr;
    QRadioButton* rbVoiceWrite = nullptr;
    QRadioButton* rbVoiceRead = nullptr;
    QLabel* lbVoiceFile = nullptr;
    QLineEdit* edVoiceFile = nullptr;
    QPushButton* sbVoiceFile = nullptr;
    QLabel* lbVoiceMessageType1 = nullptr;
    QComboBox* cbVoiceType = nullptr;
    QPushButton* sbVoiceReadWrite = nullptr;
    QPushButton* sbVoiceDelete = nullptr;
    QLabel* lbVoiceHint = nullptr;
    QPlainTextEdit* mVoice = nullptr;
    QGroupBox* gbVoice2 = nullptr;
    QLabel* lbVoiceMessageType2 = nullptr;
    QComboBox* cbVoiceRecord = nullptr;
    QPushButton* sbVoiceDial = nullptr;
    QPushButton* sbVoiceStop = nullptr;
    QLabel* lbVoiceSta = nullptr;
    QLabel* lbVoiceStatus = nullptr;
    QLabel* lbVoiceTimeRem = nullptr;
    QLabel* lbVoiceTime = nullptr;
    QTimer* tVoice = nullptr;

    void buildVoicePage(QWidget* host);

    // The label pass: the page's first piece, the progress window's status label, the second piece.
    void setLabelsVoice1(const Tlabels& t);
    void setLabelsVoiceTransfer(const Tlabels& t);
    void setLabelsVoice2(const Tlabels& t);

    void sbVoiceReadWriteClick();
    void sbVoiceDeleteClick();
    void sbVoiceFileClick();
    void cbVoiceTypeChange(QComboBox* list);
    void sbVoiceDialClick();
    // owesReply: the recording still runs on the gateway, whose OK that ends it is then due.
    void sbVoiceStopClick(bool owesReply = true);
    void tVoiceTimer();
    // A gateway was selected: the default file name again.
    void voiceGatewaySelected();

private:
    void voiceRead();
    void voiceWrite();
    bool voiceCommonStart();
    void voiceTransferStart(int title, const char* english);
    void showVoiceProgress();
    void hideVoiceProgress();
    void stopVoiceTools(bool tellGateway);
    void voiceSection(bool chosen);
};

// One recording tick with the text the tick read (UI thread).
void UpdateVoiceRecordStatus(VoicePage* page, const QByteArray& text);
// One erase poll: reads the link and sets voiceDeleteDone when "OK" came.
void VoiceDeletePoll();
