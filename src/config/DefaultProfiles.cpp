#include "config/DefaultProfiles.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"

#include <QFileInfo>

QString defaultsIniPath()
{
    return programFile(QStringLiteral("defaults.ini"));
}

QString defaultProfilesPath()
{
    return programFile(QStringLiteral("defaults/defaultProfiles.ini"));
}

QString defaultProfileGateFile(const DefaultProfile& profile, const QString& profilesPath)
{
    // Only the name counts: a profile cannot point at a file elsewhere on the machine.
    return QFileInfo(profilesPath).absolutePath() + QLatin1Char('/') + QFileInfo(profile.file).fileName();
}

std::vector<DefaultProfile> ReadDefaultProfiles(const QString& profilesPath)
{
    std::vector<DefaultProfile> profiles;
    if (!QFileInfo::exists(profilesPath))
        return profiles;
    const IniFile ini(profilesPath);
    for (const QString& section : ini.ReadSections()) {
        const QString file = ini.ReadString(section, QStringLiteral("File"), QString()).trimmed();
        if (file.isEmpty())
            continue;
        const QString caption = ini.ReadString(section, QStringLiteral("Caption"), QString());
        profiles.push_back({section, caption.isEmpty() ? section : caption, file});
    }
    return profiles;
}
