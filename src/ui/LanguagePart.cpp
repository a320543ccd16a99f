#include "ui/LanguagePart.h"

#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"
#include "texts/LanguageFile.h"
#include "ui/TfMain.h"

#include <QAction>
#include <QGuiApplication>

void LanguagePart::loadLabels(int index)
{
    readLanguageFile(programFile(QStringLiteral("languages.ini")), index, labelTexts, languageNames);
}

void LanguagePart::setLanguageMarks(int index)
{
    QAction* const buttons[] = {fMain->tbCzech, fMain->tbEnglish, fMain->tbHungary, fMain->tbPolish};
    for (int i = 0; i < 4; ++i)
        buttons[i]->setChecked(i == index);
    setLanguageMenuChecks(index);
}

void LanguagePart::setLanguageMenuChecks(int index)
{
    QAction* const items[] = {fMain->mCzech, fMain->mEnglish, fMain->mHungary, fMain->mPolish};
    for (int i = 0; i < 4; ++i)
        items[i]->setChecked(i == index);
}

void LanguagePart::switchLanguage(int index)
{
    // Applying the texts may wait for the gateway (the status line asks it for its identification) while
    // events are processed. A second switch started meanwhile is refused, so the language stored is always
    // the one shown.
    if (switchingTo_ >= 0) {
        setLanguageMarks(switchingTo_);
        return;
    }
    switchingTo_ = index;
    setLanguageMarks(index);
    loadLabels(index);
    fMain->setLabels(labelTexts);

    IniFile settings(programFile(QStringLiteral("settings.ini")));
    settings.WriteInteger(QStringLiteral("main"), QStringLiteral("Language"), index);
    const bool stored = settings.UpdateFile();
    switchingTo_ = -1;
    if (!stored)
        MessageBox(settings.lastError(), QGuiApplication::applicationDisplayName(), MB_ICONERROR);
}

void LanguagePart::mCzechClick()
{
    setLanguageMenuChecks(0);
    tbCzechClick();
}

void LanguagePart::mEnglishClick()
{
    setLanguageMenuChecks(1);
    tbEnglishClick();
}

void LanguagePart::mHungaryClick()
{
    setLanguageMenuChecks(2);
    tbHungaryClick();
}

void LanguagePart::mPolishClick()
{
    setLanguageMenuChecks(3);
    tbPolishClick();
}
