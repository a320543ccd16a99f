#include "texts/LanguageFile.h"

#include "platform/IniFile.h"

#include <limits>

bool readLanguageFile(const QString& fileName, int index, Tlabels& texts, Tlabels& names)
{
    const IniFile ini(fileName);

    int count = ini.ReadInteger(QStringLiteral("main"), QStringLiteral("labels_count"), kMinLabelsCount);
    if (count < kMinLabelsCount)
        count = kMinLabelsCount;
    const bool withinBound = count <= kMaxLabelsCount;
    if (!withinBound)
        count = kMaxLabelsCount;

    const QString section = QString::number(index);
    texts.clear();
    texts.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        texts.push_back(ini.ReadString(section, QStringLiteral("s") + QString::number(i), QString()));

    // A name no language section can hold: it tells a missing "language" key from an empty one.
    const QString sentinel = QStringLiteral("\x01no language\x01");
    names.clear();
    for (int j = 0; j < std::numeric_limits<int>::max(); ++j) {
        const QString name = ini.ReadString(QString::number(j), QStringLiteral("language"), sentinel);
        if (name == sentinel)
            break;
        names.push_back(name);
    }
    return withinBound;
}
