#pragma once
// The gate file: an INI file that holds a whole gateway configuration (docs/gate-file.md). Sections are read
// and written selectively by GateSectionMask bits; keys and sections this program does not know survive a
// write untouched.
#include "config/Parametres.h"
#include <QString>
#include <QStringList>

inline constexpr const char* kSectionGate = "Gate";
inline constexpr const char* kSectionSystem = "System parametres";
inline constexpr const char* kSectionIsdn = "ISDN parametres";
inline constexpr const char* kSectionGsm = "Gsm parametres";
inline constexpr const char* kSectionOutgoing = "Outgoing groups";
inline constexpr const char* kSectionIncoming = "Incoming groups";
inline constexpr const char* kSectionNetwork = "Network list";
inline constexpr const char* kSectionAutorouting = "Autorouting table";
inline constexpr const char* kSectionExtension = "Extension table";
inline constexpr const char* kSectionLcr = "Lcr table";
inline constexpr const char* kSectionPortModes = "ISDN port modes";

// Texts of the reader's error boxes (numbers of the label table; caption: the error caption).
inline constexpr int kGateFileMissingText = 436;
inline constexpr int kGateSectionErrorText = 62;
inline constexpr int kGateErrorCaption = 47;

// What a read found, key by key ("Section/Key").
struct GateReadReport
{
    bool fileMissing = false;   // the file does not exist or cannot be read: every selected key took its default
    QStringList absentKeys;     // keys the file lacks: their defaults were taken
    QStringList badKeys;        // keys whose value could not be read: their defaults were taken
    QStringList failedSections; // sections with at least one bad key, in file order, each once
};

// Reads the selected sections of the file into the image without any message box and without touching
// gateReadSuccess. Every selected member is set: from the file, or to its default for an absent or
// unreadable key. Table rows are read in index order whatever gaps lie between them. Returns true when the
// file was read and no key was bad.
bool readGateSections(TParametres& image, const QString& path, int mask, GateReadReport* report = nullptr);

// The program's reader: readGateSections, then one error box per failed section (the autorouting section
// fails without a box) or one box for a missing file, clearing gateReadSuccess for each failure. Returns
// gateReadSuccess.
bool ReadGateFile(TParametres& image, const QString& path, int mask);

// Writes the selected sections of the image into the file. Other sections, keys of other masks and unknown
// keys keep their values; a table's old rows are removed before its rows are written. The file is replaced
// atomically: on any failure (also when an existing file cannot be read) the result is false and the old
// file is left as it was.
bool WriteGateFile(const TParametres& image, const QString& path, int mask);
