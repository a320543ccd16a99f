#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString& programDirOverride()
{
    static QString folder;
    return folder;
}
} // namespace

QString programDir()
{
    QString folder = programDirOverride();
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString programFile(const QString& name)
{
    return programDir() + QLatin1Char('/') + name;
}

void setProgramDir(const QString& folder)
{
    programDirOverride() = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}
