#pragma once
// The page defaults and the default profiles that ship beside the program: "defaults.ini" (a gate file with
// every page's factory values) and "defaults/defaultProfiles.ini", one section per profile:
//
//     [MX]
//     Caption=Mesk X: two BRI ports (NT and TE)
//     File=MX.ini
//
// The profile's gate file lies in the same "defaults" folder.
#include <QString>
#include <vector>

struct DefaultProfile
{
    QString name;    // the section name
    QString caption; // what the profile list shows
    QString file;    // gate-file name inside the defaults folder
};

QString defaultsIniPath();     // <program folder>/defaults.ini
QString defaultProfilesPath(); // <program folder>/defaults/defaultProfiles.ini
// <folder of the profiles file>/<file>; the profile's file name may not leave that folder.
QString defaultProfileGateFile(const DefaultProfile& profile, const QString& profilesPath = defaultProfilesPath());

// The profiles in file order; a section without a "File" is no profile. The caption falls back to the
// section name.
std::vector<DefaultProfile> ReadDefaultProfiles(const QString& profilesPath = defaultProfilesPath());
