#pragma once
// The configuration image: one whole gateway configuration the way the gate file holds it. Every field holds
// one value of a gateway parameter; the comment names the parameter (also the gate-file key) and the value's
// place in the gateway's own command (the file keeps the fields in member order instead). Values the gateway
// carries in another form (track-bar positions instead of volume codes, "dd.mm" texts instead of four-digit
// dates) are held as the pages show them. The default member values are those of a factory-new gateway and
// are also the values the gate-file reader takes for a key that is absent or unreadable.
//
// docs/gate-file.md describes how each member is written into the gate file.
#include <QChar>
#include <QString>
#include <array>
#include <vector>

// Time limitation of one GSM group's SIM cards (key G<n>5).
struct TSim
{
    QString text;                                    // carried along unchanged; no page reads or sets it
    std::array<qint32, 6> values{};                  // carried along unchanged
    QString window1 = QStringLiteral("00:00/24:00"); // "hh:mm/hh:mm" followed by "/w+", "/w-" or nothing
    QString window2 = QStringLiteral("00:00/24:00");
    std::array<qint32, 2> moreValues{}; // carried along unchanged
    bool secondInterval = false;        // window2 is in use

    bool operator==(const TSim&) const = default;
};

// One GSM group of the outgoing groups page.
struct TOutgoing
{
    QString roamingNetwork;         // G<n>1 value 1; empty: roaming nowhere
    qint32 clir = 0;                // G<n>1 value 2: 0 factory, 1 disable (CLIP on), 2 enable (CLIP off)
    qint32 maxMinutes = 0;          // G<n>1 value 3; 0 = off
    qint32 maxSms = 0;              // G<n>1 value 4
    qint32 statsDay = 1;            // G<n>1 value 5: 0 off, 1..31 day of month, 32 every day
    qint32 secondsAfterConnect = 1; // G<n>1 value 6, 1..250
    qint32 secondsNextCount = 1;    // G<n>1 value 7, 1..250
    qint32 pseudoTariff = 0;        // G<n>1 value 8: AoC every so many seconds, 0 = off
    qint32 delayConnect = 0;        // G<n>9 value 2, seconds 0..20
    qint32 delayAlerting = 1;       // G<n>9 value 1: 0 none, 1 after the GSM dial tone, 2..20 seconds
    qint32 disconnectCall = 0;      // G<n>9 value 3: 1 = disconnect when the SIM limit is exceeded
    qint32 callFlags = 0;           // G<n>9 value 5: 2 count calls, 32 virtual ring tone, others kept
    qint32 smsDelay = 0;            // G<n>9 value 6, seconds 0..20
    QChar clipSeparator;            // G<n>9 value 7; null: the CLIP is not transferred
    QString smsText;                // S85, the same in both groups
    QString clipPrefixConversion;   // G109, the same in both groups
    TSim sim;                       // G<n>5

    bool operator==(const TOutgoing&) const = default;
};

// One GSM group of the incoming groups page.
struct TIncoming
{
    qint32 mode = 0;                    // G9<n> value 1, 0..7
    qint32 minDigits = 3;               // G9<n> value 2
    qint32 maxDigits = 3;               // G9<n> value 3
    qint32 dtmfTour = 10;               // G9<n> value 4, seconds
    qint32 statsDay = 1;                // G9<n> value 5, 0 = off
    QString disaPrefix;                 // G9<n> value 6
    QString clip;                       // G9<n> value 7
    qint32 voiceLoop = 0;               // G19<n> value 1, minutes
    qint32 clipKeepHours = 0;           // G99 value 1 (the same in both groups)
    bool addUnconnectedOnly = false;    // G99 value 2, flag 1
    bool deleteOnAnswer = false;        // G99 value 2, flag 2
    bool routeFailedDtmf = false;       // G99 value 2, flag 8
    bool dtmfDisabled = false;          // G99 value 2, flag 4
    std::vector<QString> calledNumbers; // G95 (group 1) / G96 (group 2)
    QString clipConversions;            // G198, entries joined by "," (the same in both groups)
    QString cdnPrefixConversion;        // G199 (the same in both groups)
    QChar cdnSeparator;                 // G19<n> value 2; null: none

    bool operator==(const TIncoming&) const = default;
};

// One network list (keys N<n>0 .. N<n>9).
struct TNetwork
{
    std::vector<QString> prefixes;         // N<n>1 .. N<n>7
    std::vector<QString> replacedPrefixes; // N<n>0: "old/new" each
    QString networkId;                     // N<n>9 value 1, at most 5 characters on the page
    qint32 defaultDigits = 0;              // N<n>9 value 2, 0..20

    bool operator==(const TNetwork&) const = default;
};

struct TSystem
{
    qint32 cdrMode = 0;                           // S91 value 1: the gateway's code (0..3, 5..7), not the list position
    qint32 gateId = 0;                            // S91 value 2, 0..255, 0 = off
    QString resetTime = QStringLiteral("00:00");  // X22 "hh:mm"; "00:00": no daily reset
    QString winterDate = QStringLiteral("00.00"); // X20 value 1, "dd.mm"
    QString summerDate = QStringLiteral("00.00"); // X20 value 2, "dd.mm"

    bool operator==(const TSystem&) const = default;
};

struct TBasic
{
    qint32 relaxDelay = 2;           // G08 value 1, seconds 0..10
    qint32 ringTimeout = 120;        // G08 value 5, seconds 0..120, 0 = off
    qint32 simFlags = 0;             // G09 value 1: 1 SCID, 2 Siemens tone, 4 no CLIP to BRI, 16 SMS in module
    qint32 dialTone = 0;             // G09 value 2: list position
    qint32 ringTone = 0;             // G09 value 3
    qint32 busyTone = 0;             // G09 value 4: list position, 255 = disabled
    qint32 busyStatus = 0;           // G09 value 5: 4 = BUSY status to GSM, else 0
    qint32 siemensTransmit = 2;      // G02 value 2 as a track-bar position 0..4 (2 = 0 dB)
    qint32 siemensReceive = 2;       // G02 value 3, position 0..4
    qint32 wavecomTransmit = 3;      // G04 value 2, position 0..6 (3 = 0 dB)
    qint32 wavecomReceive = 3;       // G04 value 3, position 0..6
    qint32 sierraTransmit = 2;       // G103 value 2, position 0..4
    qint32 sierraReceive = 2;        // G103 value 3, position 0..4
    qint32 echoCancelling = 0;       // G04 value 1: list position
    qint32 dtmfDelay = 1;            // G05, 1/100 s, 1..99
    qint32 networks = 2;             // G103 value 4: 2 GSM and 3G, 13 only GSM, 14 only 3G
    qint32 searchPriority = 0;       // G103 value 5: list position
    QString pin;                     // S98
    qint32 moduleSelection = 0;      // S90: list position
    std::vector<QString> causes;     // G101: "gsm/isdn" pairs; the count is the vector's size
    qint32 causeLackOfDigits = 102;  // I05 value 1, 1..254
    qint32 causeRestricted = 21;     // I05 value 2
    qint32 causeModuleNotReady = 41; // I05 value 3 (the selected module)
    qint32 causeNoModuleReady = 42;  // I05 value 4

    bool operator==(const TBasic&) const = default;
};

// Groups assignment: the item index (group number minus 1) of each GSM module's group list.
struct TGroupsAssignment
{
    std::array<qint32, 32> incoming{}; // G90, modules 0..31, groups 1..4
    std::array<qint32, 32> outgoing{}; // G00, modules 0..31, groups 1..8

    bool operator==(const TGroupsAssignment&) const = default;
};

// Autorouting rows A0 .. A95, one comma-separated text each: CLIP, number, limit, service letter.
struct TAuto
{
    std::vector<QString> rows;
    bool operator==(const TAuto&) const = default;
};

// Mobility extension rows M0 .. M31: name, user, password, GSM number, follow me, SMS at no answer,
// registered (the last three 1 or 0).
struct TExt
{
    std::vector<QString> rows;
    bool operator==(const TExt&) const = default;
};

// LCR rows L0 .. L63 (network number, time window, groups, limit) and the holidays of G06/G07.
struct TLcr
{
    std::vector<QString> rows;
    std::vector<QString> holidays; // "dd.mm" as typed, at most 24; the count is the vector's size

    bool operator==(const TLcr&) const = default;
};

struct TIsdn
{
    QString interfaceMode = QStringLiteral("NT"); // I00: "NT", "NT/E", "NT/O", "NT/S"; one port: "NT", "TE/E", "TE/T"
    qint32 tei = 0;                               // I01 value 1, 0..63, 64 = dynamic
    qint32 portMode = 0;                          // I01 value 2: mode list position
    qint32 setupAckProgress = 0;                  // I06 value 1, 0..8
    qint32 callProceedingProgress = 0;            // I06 value 2
    qint32 progressProgress = 0;                  // I06 value 3
    qint32 alertingProgress = 0;                  // I06 value 4
    qint32 dialTone = 0;                          // I08 value 1: list position
    qint32 ringTone = 0;                          // I08 value 2
    qint32 busyTone = 0;                          // I08 value 3
    qint32 statsDay = 1;                          // I09 value 1, 0..31
    qint32 flags = 0;                             // I09 value 2: 4 dial number from subaddress, 16 no ConnectAck on TE
    qint32 setupDigits = 0;                       // I09 value 3; 0 = OVERLAP dialling
    qint32 cdnPlan = 0;                           // I03 value 1, 0..127
    qint32 cgnPlan = 0;                           // I03 value 2, 0..127
    QString msn;                                  // I27
    qint32 minDigits = 9;                         // G08 value 2, 2..20
    qint32 maxDigits = 9;                         // G08 value 3, 2..20
    qint32 nextDigitWait = 3;                     // G08 value 4, seconds 0..20
    QString stateSmsText;                         // I52
    qint32 deactivationTimeout = 0;               // I50 value 3, 0..65535
    qint32 activationTimeout = 0;                 // I50 value 4
    qint32 portMask1 = 0;                         // I50 value 1: 1 keep layer 1, 2 keep layer 2, 4 SMS on state change
    qint32 portMask2 = 0;                         // I50 value 2
    std::array<QString, 3> stateSmsNumbers;       // I51
    qint32 aliveDay = 0;                          // I60 value 2: 1..31, 0 = no alive SMS
    QString aliveTime = QStringLiteral("00:00");  // I60 value 1, "hh:mm"
    std::array<QString, 3> aliveNumbers;          // I61
    QString aliveSmsText;                         // I62

    bool operator==(const TIsdn&) const = default;
};

struct TParametres
{
    std::array<TOutgoing, 2> outgoing; // GSM groups 1 and 2
    std::array<TIncoming, 2> incoming;
    std::array<TNetwork, 8> networks; // network lists 1..8
    TSystem system;
    TBasic basic;
    TGroupsAssignment groupsAssignment;
    TAuto autorouting;
    TExt extensions;
    TLcr lcr;
    TIsdn isdn;
    std::vector<QString> briPrefixChanges;              // I07: "old/new" each
    std::array<char, 3> portModeChars{{'0', '0', '0'}}; // X40: GSM, BRI 1, BRI 2

    bool operator==(const TParametres&) const = default;
};

// Bits that select sections (or parts of sections) of the gate file.
enum GateSectionMask : int {
    gsSystem = 1,
    gsBasic = 4,
    gsGroups = 8,
    gsOutgoing = 16,
    gsIncoming = 32,
    gsNetwork = 64,
    gsLcr = 128,
    gsAutorouting = 256,
    gsExtension = 512,
    gsHolidays = 1024,
    gsIsdn = 2048,
    gsPortModes = 4096,
    gsAll = 8191, // every section, the identification replies of section "Gate" included
};

// Table sizes the gateway has registers for.
inline constexpr int kMaxLcrRows = 64;
inline constexpr int kMaxAutoRows = 96;
inline constexpr int kMaxExtRows = 32;
inline constexpr int kMaxHolidays = 24;

inline TParametres GateConfig;                // the image of the current gate file
inline std::array<TOutgoing, 2> outgoingWork; // working records of the outgoing groups page
inline std::array<TIncoming, 2> incomingWork; // working records of the incoming groups page
inline std::array<TNetwork, 8> networkWork;   // working records of the network lists page

// Program-wide outcome of gate-file reads: true at start, cleared by every section that fails to read (and by
// the few page operations that write it); the reader never sets it back. ReadGateFile returns it.
inline bool gateReadSuccess = true;

// Puts the image, the working records and the read-success flag back to their start-up state.
void resetConfigState();
