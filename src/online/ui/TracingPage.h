#pragma once
// The tracing page: the gateway's trace of its call handling, shown line by line and appended to a trace file
// when saving is on. Start writes the detail mask ("AT%S92=<mask>\r") and the level command ("AT!L<n>\r" for
// LAN and telnet, "AT!R<n>\r" for VoIP and GSM messages); Stop sends "AT!RX\r". On a serial port, modem line
// or ISDN modem a TTracing worker reads the trace (online/Tracing.h); on the telnet link the telnet router
// brings it. The page registers as a live tool (link/LiveTools.h).
#include "texts/Labels.h"

#include <QByteArray>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QWidget;

class TracingPage
{
public:
    QScrollArea* pTracing = nullptr;
    QGroupBox* gbTrac1 = nullptr;
    QCheckBox* cbTracState34 = nullptr;
    QCheckBox* cbTracTimestamp = nullptr;
    QCheckBox* cbTracFullTracing = nullptr;
    QCheckBox* cbTracState2 = nullptr;
    QCheckBox* cbTracLcr = nullptr;
    QGroupBox* gbTrac2 = nullptr;
    QLabel* lbTracSelect = nullptr;  // hidden
    QComboBox* cbTracType = nullptr; // hidden: 0 LAN and telnet, 1 VoIP and GSM messages
    QRadioButton* rbTracIpTcpTelnet = nullptr;
    QRadioButton* rbTracTcpTelnet = nullptr;
    QRadioButton* rbTracTelnet = nullptr;
    QPushButton* sbTracStart = nullptr;
    QPushButton* sbTracDefaults = nullptr;
    QPushButton* sbTracClear = nullptr;
    QLineEdit* edTracFile = nullptr;
    QPushButton* sbTracFile = nullptr;
    QCheckBox* cbTracSave = nullptr;
    QPlainTextEdit* mTracing = nullptr;

    void buildTracingPage(QWidget* host);
    void setLabelsTracing(const Tlabels& labels);

    // Starts the trace, or stops the running one.
    void sbTracStartClick();
    void cbTracTypeChange();
    void cbTracFullTracingClick();
    void sbTracDefaultsClick();
    void sbTracClearClick();
    void sbTracFileClick();

    // True while a trace runs (its reader or its telnet route).
    static bool tracingRuns();

private:
    void stopTracingOverTcp();
    void stopTracingOnSerial();
    void tracingStopped();
    void tracingTelnetText(const QByteArray& text);
};
