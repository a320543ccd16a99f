#pragma once
// The ISDN page's exchange with the gateway, as plain functions: what its two view replies ("AT&Vi" and the
// "G08" line of "AT&V0") say, and the set commands of its save built from the image record TIsdn. No widgets
// and no link here; the page applies the values to its controls in its own order and sends the commands.
//
// Layouts: the two-port gateway (model 0) and the one-port gateway (any other model) keep different controls
// behind "I00", "I01" and "I50"; the record already holds the values in the gateway's own form, so only the
// MSN ("I27") depends on the layout here.
#include "config/Parametres.h"
#include "exchange/GroupsExchange.h" // wireText, fromWire: shared by the exchanges

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

// What "AT&Vi" says about the ISDN page. Every item carries whether it could be read; an item that could not
// has its failure line in the errors the parser was given (the lines of the load, in its order) and keeps the
// value the page shows for an unreadable item.
struct IsdnViewValues
{
    QByteArray interfaceMode; // "I00" as received
    QByteArray msn;           // "I27"

    bool teiRead = false; // "I01": TEI and mode position (0 or 1)
    qint32 tei = 0;
    qint32 portMode = 0;

    bool progressRead = false; // "I06"
    std::array<qint32, 4> progress{};

    bool dayRead = false; // "I09" value 1
    qint32 statsDay = 0;
    bool flagsRead = false; // "I09" value 2
    qint32 flags = 0;
    bool digitsRead = false; // "I09" value 3
    qint32 setupDigits = 20;

    bool tonesRead = false; // "I08": dial, ring, busy positions 0..4
    std::array<qint32, 3> tones{};

    bool plansRead = false; // "I03"
    qint32 cdnPlan = 0;
    qint32 cgnPlan = 0;

    bool monitoringRead = false; // "I50": port masks and the two time-outs
    qint32 portMask1 = 0;
    qint32 portMask2 = 0;
    qint32 deactivationTimeout = 0;
    qint32 activationTimeout = 0;

    bool stateSmsRead = false; // "I52"
    QString stateSmsText;
    std::array<QString, 3> stateSmsNumbers; // "I51", "" where the reply has fewer

    bool aliveListed = false; // "I60" has values; without them the page keeps its alive-SMS controls
    qint32 aliveDay = 0;
    QString aliveTime = QStringLiteral("00:00");
    std::array<QString, 3> aliveNumbers; // "I61"
    QString aliveSmsText;                // "I62"

    // False when an item above failed (the load's result).
    bool allRead = true;
};
IsdnViewValues parseIsdnView(const QByteArray& reply, QString& errors);

// The ISDN page's part of "G08" (values 2 to 4) from an "AT&V0" reply. A missing value adds its line and
// keeps its default (9, 9, 3); so does a value that is not a number.
struct IsdnDigitValues
{
    qint32 minDigits = 9;
    qint32 maxDigits = 9;
    qint32 nextDigitWait = 3;
};
IsdnDigitValues parseIsdnDigits(const QByteArray& reply, QString& errors);

// The GSM basic page's part of "G08" (values 1 and 5) from an "AT&V0" reply, which the ISDN save passes on.
// A missing relax delay, or a value 1 or 5 that is not a number, gives both defaults (2 and 120), the values
// that page itself loads then; a list of four fields gives the ringing time-out 120.
struct GsmDigitFields
{
    qint32 relaxDelay = 2;
    qint32 ringTimeout = 120;
};
GsmDigitFields parseGsmDigitFields(const QByteArray& reply);

// One set command of the save and the line its failure adds.
struct IsdnCommand
{
    QByteArray line;
    QString itemLine;
};

// "I27": the MSN. The one-port gateway takes it only as a TE interface with DISA dial tone; otherwise it is
// sent empty.
IsdnCommand isdnMsnCommand(const TIsdn& isdn, bool twoPort);
// "I00", sent apart from the other commands.
QByteArray isdnModeCommand(const TIsdn& isdn);
// "I01", "I09", "I08", "I06", "I03" in this order (the commands that follow a mode change).
QList<IsdnCommand> isdnPortCommands(const TIsdn& isdn);
// "G08" with the GSM basic page's values 1 and 5 as the gateway holds them.
IsdnCommand isdnDigitsCommand(const TIsdn& isdn, qint32 relaxDelay, qint32 ringTimeout);
// "I50", "I52", "I51" in this order.
QList<IsdnCommand> isdnMonitoringCommands(const TIsdn& isdn);
// "I60" ("hh:mm,day").
IsdnCommand isdnAliveCommand(const TIsdn& isdn);
// "I61": the numbers joined by ","; empty numbers between two others keep their place, trailing empty ones
// are left out.
IsdnCommand isdnAliveNumbersCommand(const TIsdn& isdn);
// "I62".
IsdnCommand isdnAliveTextCommand(const TIsdn& isdn);

// The "I60" value of a record ("hh:mm,day").
QByteArray isdnAliveValue(const TIsdn& isdn);
// An "I60" value in one form for comparing: a one-digit hour gets its leading "0", a numeric day loses its
// leading zeros ("9:30,05" and "09:30,5" compare equal).
QByteArray normalisedAliveValue(const QByteArray& value);

// Item lines of the load and the save.
namespace isdnlines {
inline const QString kAll = QStringLiteral("ISDN settings - All parametres\n");
inline const QString kSystemAll = QStringLiteral("System settings - All parametres\n");
inline const QString kNtInterface = QStringLiteral("ISDN settings - NT interface\n");
inline const QString kProgress = QStringLiteral("ISDN settings - Progress elements numbers\n");
inline const QString kDay = QStringLiteral("ISDN settings - Day of deleting statistics\n");
inline const QString kDigits = QStringLiteral("ISDN settings - Digits count in SETUP\n");
inline const QString kTones =
    QStringLiteral("ISDN settings - Dialtone to NT interface on empty SETUP, ring tone and busy tone\n");
inline const QString kPlans = QStringLiteral("ISDN settings - CDN, CGN\n");
inline const QString kMonitoring = QStringLiteral("ISDN settings - BRI ISDN state monitoring\n");
inline const QString kStateSms = QStringLiteral("ISDN settings - Text of SMS while state of ISDN is changed\n");
inline const QString kDigitsFromIsdn = QStringLiteral("ISDN settings - Numbers of digits from ISDN\n");
inline const QString kMin = QStringLiteral("ISDN settings - Min numbers from VoIP\n");
inline const QString kMax = QStringLiteral("ISDN settings - Max numbers from VoIP\n");
inline const QString kWait = QStringLiteral("ISDN settings - Wait for next digit\n");
inline const QString kMsn = QStringLiteral("ISDN settings - MSN number\n");
inline const QString kMode = QStringLiteral("System settings - ISDN settings - NT interface, TE interface\n");
inline const QString kLogin = QStringLiteral("System settings - Incorrect login\n");
inline const QString kPort = QStringLiteral("ISDN settings - NT interface, TE interface\n");
inline const QString kCauses = QStringLiteral("ISDN settings - Error ISDN causes\n");
inline const QString kTone = QStringLiteral("ISDN settings - Signalling tone\n");
inline const QString kProgressSave = QStringLiteral("ISDN settings - Progress elements number\n");
inline const QString kPlansSave = QStringLiteral("ISDN settings - Numbering plan settings\n");
inline const QString kRelax = QStringLiteral("ISDN settings - Relax delay\n");
inline const QString kDigitsSave = QStringLiteral("ISDN settings - Number of digits dialed from ISDN\n");
inline const QString kStateNumbers = QStringLiteral("ISDN settings - Numbers where SMS will be sent to\n");
inline const QString kAliveTime = QStringLiteral("ISDN settings - Alive SMS - time interval\n");
inline const QString kAliveNumbers = QStringLiteral("ISDN settings - Alive SMS - SMS receiver numbers\n");
inline const QString kAliveText = QStringLiteral("ISDN settings - Alive SMS - SMS text\n");
} // namespace isdnlines
