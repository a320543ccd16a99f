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
inline constexpr int kNotGateFileText = 983;

// What a read found, key by key ("Section/Key").
struct GateReadReport
{
    bool fileMissing = false;   // the file does not exist or cannot be read: every selected key took its default
    bool notGateFile = false;   // the file holds none of the gate-file sections: the image was left untouched
    QStringList absentKeys;     // keys the file lacks: their defaults were taken
    QStringList badKeys;        // keys whose value could not be read: their defaults were taken
    QStringList failedSections; // sections with a bad key or a damaged line, in file order, each once

    // True when every selected key was read from the file as it stands.
    bool ok() const { return !fileMissing && !notGateFile && badKeys.isEmpty() && failedSections.isEmpty(); }
};

// Reads the selected sections of the file into the image without any message box and without touching
// gateReadSuccess. Every selected member is set: from the file, or to its default for an absent or
// unreadable key. Table rows are read in index order whatever gaps lie between them. A section that a
// damaged line touches (IniFile::damagedSections) fails as a whole, its keys read as far as they are
// readable. A file that holds none of the gate-file sections (an empty file, some other file) is no gate
// file: the image is left untouched. Returns report->ok().
bool readGateSections(TParametres& image, const QString& path, int mask, GateReadReport* report = nullptr);

// The program's reader: readGateSections, then one error box per failed section (the autorouting section
// fails without a box), one box for a missing file or one for a file that is no gate file, clearing
// gateReadSuccess for each failure. Returns gateReadSuccess; report (when given) tells this read's outcome,
// notGateFile among it: the caller then leaves its pages as they are.
bool ReadGateFile(TParametres& image, const QString& path, int mask, GateReadReport* report = nullptr);

// Writes the selected sections of the image into the file. Other sections, keys of other masks and unknown
// keys keep their values; a table's old rows are removed before its rows are written. The file is replaced
// atomically: on any failure (also when an existing file cannot be read) the result is false and the old
// file is left as it was.
bool WriteGateFile(const TParametres& image, const QString& path, int mask);
