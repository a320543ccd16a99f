#pragma once
// The GSM basic page's exchange with the gateway, as plain functions over its image record TBasic: what the
// view replies say ("AT&V0": G08, G09, G02, G04, G103, G05, G101; "AT&V": S98, S90; "AT&Vi": I05) and the set
// commands of its save. No widgets and no link here; the page sends the commands in its order and applies the
// values read here to its controls in its own order.
#include "config/ConfigConversions.h"
#include "config/Parametres.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Item lines of the page's runs.
inline const QString kBasicLineAll = QStringLiteral("Basic settings - All parametres\n");
inline const QString kBasicItemRelax = QStringLiteral("Basic settings - Relax delay");
inline const QString kBasicLineRelax = kBasicItemRelax + QLatin1Char('\n');
inline const QString kBasicLineSimFlags = QStringLiteral(
    "Basic settings - SIM card number, Disable CLIP from GSM to ISDN, Init module after call, Siemens tone\n");
inline const QString kBasicLineDial = QStringLiteral("Basic settings - Dial tone\n");
inline const QString kBasicLineRing = QStringLiteral("Basic settings - Ring tone\n");
inline const QString kBasicLineSiemensTran = QStringLiteral("Basic settings - Siemens transmission volume\n");
inline const QString kBasicLineSiemensRec = QStringLiteral("Basic settings - Siemens reception volume\n");
inline const QString kBasicLineEcho = QStringLiteral("Basic settings - Wavecom echo cancelling\n");
inline const QString kBasicLineWavecomTran = QStringLiteral("Basic settings - Wavecom transmission volume\n");
inline const QString kBasicLineWavecomRec = QStringLiteral("Basic settings - Wavecom reception volume\n");
inline const QString kBasicLineSierraTran = QStringLiteral("Basic settings - Sierra transmission volume\n");
inline const QString kBasicLineSierraRec = QStringLiteral("Basic settings - Sierra reception volume\n");
inline const QString kBasicLinePinSelection =
    QStringLiteral("Basic settings - SIM cards PIN number, GSM module selection\n");
inline const QString kBasicLineSelection = QStringLiteral("Basic settings - GSM module selection\n");
inline const QString kBasicLineCauses = QStringLiteral("Basic settings - Release causes to ISDN\n");
inline const QString kBasicLineG09 =
    QStringLiteral("Basic settings - SIM card number, dial tone, ring tone,busy tone, BUSY status to GSM\n");
inline const QString kBasicLineSiemens = QStringLiteral("Basic settings - Siemens modules parametres\n");
inline const QString kBasicLineWavecom = QStringLiteral("Basic settings - Wavecom modules parametres\n");
inline const QString kBasicLineDtmf = QStringLiteral("Basic settings - delay of DTMF numbers\n");
inline const QString kBasicLineSierra = QStringLiteral("Basic settings - settings for 3G sierra phones\n");
inline const QString kBasicLinePin = QStringLiteral("Basic settings - SIM cards PIN number\n");
inline const QString kBasicLineTransfer = QStringLiteral("Basic settings - Cause transfer\n");

// The lengths of the page's lists: a number beyond its list reads as unreadable (it would select nothing and
// go back as -1).
struct BasicListSizes
{
    int dial = 0;
    int ring = 0;
    int busy = 0; // the last position is "disabled" (255)
    int echo = 0;
    int search = 0;
    int selection = 0;
};

// What "AT&V0" says about the page. Positions are list positions; an empty optional leaves its control as it
// is. Unreadable items add their lines to errors in the order they are read here.
struct BasicView0
{
    qint32 relaxDelay = 2;
    qint32 ringTimeout = 120;
    qint32 simFlags = 0;
    qint32 dialTone = 0;
    qint32 ringTone = 0;
    qint32 busyTone = 0;
    bool busyStatus = false;
    std::optional<int> siemensTransmit, siemensReceive;
    std::optional<int> echoCancelling;
    std::optional<int> wavecomTransmit, wavecomReceive;
    std::optional<int> sierraTransmit, sierraReceive;
    qint32 searchPriority = 0;
    qint32 networksPosition = 0;
    qint32 dtmfDelay = 1;
    // G101 entries, empty ones left out. An entry that is not "gsm/isdn" of 1 to 3 digits each, or one past
    // the ninth, is damaged (config/TableRows.h): it is left out and the cause transfer line added once.
    QStringList causes;
};
BasicView0 parseBasicView0(const QByteArray& reply, const BasicListSizes& sizes, QString& errors);

// "S98" (the PIN as sent) and "S90" (the module selection; unreadable: position 0 and its line) of "AT&V".
struct BasicViewV
{
    QString pin;
    qint32 moduleSelection = 0;
};
BasicViewV parseBasicViewV(const QByteArray& reply, const BasicListSizes& sizes, QString& errors);

// The four causes of "I05" in "AT&Vi"; when any cannot be read, all four take their defaults (102, 21, 41,
// 42) and the line is added.
std::array<qint32, 4> parseBasicCauses(const QByteArray& reply, QString& errors);

// The ISDN page's values 2 to 4 of "G08" in an "AT&V0" reply, which the page's save sends back as they are;
// when any of them is missing or is no number, all three are that page's defaults 9, 9 and 3.
std::array<qint32, 3> g08IsdnValues(const QByteArray& reply);

// The save's set commands, from the record as the page shows it.
QByteArray basicRelaxCommand(const TBasic& b, const std::array<qint32, 3>& isdnValues); // "AT%G08=..."
QByteArray basicTonesShortCommand(const TBasic& b); // "AT%G09=flags,dial,ring" for old firmware
QByteArray basicTonesCommand(const TBasic& b);      // "AT%G09=flags,dial,ring,busy,status"
QByteArray basicSiemensCommand(const TBasic& b);    // "AT%G02=2,..."
QByteArray basicWavecomCommand(const TBasic& b);    // "AT%G04=..."
QByteArray basicDtmfCommand(const TBasic& b);       // "AT%G05=..."
QByteArray basicSierraCommand(const TBasic& b);     // "AT%G103=0,..."
QByteArray basicPinCommand(const TBasic& b);        // "AT%S98=..."
QByteArray basicSelectionCommand(const TBasic& b);  // "AT%S90=..."
QByteArray basicTransferCommand(const TBasic& b);   // "AT%G101=entry,entry,..."
QByteArray basicCausesCommand(const TBasic& b);     // "AT%I05=..."
