#include "ui/LanguagePart.h"

#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"
#include "texts/LabelRule.h"
#include "texts/LanguageFile.h"
#include "texts/TextFormat.h"
#include "ui/TfMain.h"
#include "ui/WindowUtil.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QToolBar>
#include <QTranslator>
#include <iterator>

namespace {

constexpr int kLabelsCountCutText = 984;

} // namespace

void LanguagePart::loadQtTexts(int index)
{
    // The toolkit's own texts (Yes, No, Cancel, OK of the message boxes, the file dialogs' texts) in the same
    // language as ours; English is the toolkit's built-in language.
    static const char* const kQtLanguages[] = {"cs", nullptr, "hu", "pl"};
    if (qtTexts_) {
        QCoreApplication::removeTranslator(qtTexts_.get());
        qtTexts_.reset();
    }
    const char* code = index >= 0 && index < int(std::size(kQtLanguages)) ? kQtLanguages[index] : nullptr;
    if (!code)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_") + QLatin1String(code),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        qtTexts_ = std::move(translator);
    }
}

void LanguagePart::loadLabels(int index)
{
    loadQtTexts(index);
    if (!readLanguageFile(programFile(QStringLiteral("languages.ini")), index, labelTexts, languageNames) &&
        !toldLabelsCountCut_) {
        // Said once: the file does not change while the program runs.
        toldLabelsCountCut_ = true;
        MessageBox(formatTextInt(labelOr(labelTexts, kLabelsCountCutText,
                                         QStringLiteral("languages.ini names too many texts (labels_count); only "
                                                        "%d are read.")),
                                 kMaxLabelsCount),
                   labelOr(labelTexts, 45, QStringLiteral("Warning")), MB_ICONWARNING);
    }
}

void LanguagePart::setLanguageMarks(int index)
{
    QAction* const buttons[] = {fMain->tbCzech, fMain->tbEnglish, fMain->tbHungary, fMain->tbPolish};
    for (int i = 0; i < 4; ++i) {
        if (buttons[i]->isCheckable())
            buttons[i]->setChecked(i == index);
        else if (auto* button = qobject_cast<QAbstractButton*>(fMain->tbMain->widgetForAction(buttons[i])))
            button->setDown(i == index);
    }
    setLanguageMenuChecks(index);
}

bool LanguagePart::languageButtonDown(int index) const
{
    QAction* const buttons[] = {fMain->tbCzech, fMain->tbEnglish, fMain->tbHungary, fMain->tbPolish};
    if (index < 0 || index >= 4)
        return false;
    if (buttons[index]->isCheckable())
        return buttons[index]->isChecked();
    auto* button = qobject_cast<QAbstractButton*>(fMain->tbMain->widgetForAction(buttons[index]));
    return button && button->isDown();
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
    IniFile settings(programFile(QStringLiteral("settings.ini")));
    bool stored = false;
    {
        // Cleared however the switch ends, so that a failure in it does not refuse every later switch.
        struct Running
        {
            int& to;
            ~Running() { to = -1; }
        } running{switchingTo_ = index};
        setLanguageMarks(index);
        loadLabels(index);
        fMain->setLabels(labelTexts);
        settings.WriteInteger(QStringLiteral("main"), QStringLiteral("Language"), index);
        stored = settings.UpdateFile();
    }
    if (!stored)
        MessageBox(settings.lastError(), applicationTitle(), MB_ICONERROR);
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

LanguagePart::LanguagePart() = default;

LanguagePart::~LanguagePart()
{
    if (qtTexts_)
        QCoreApplication::removeTranslator(qtTexts_.get());
}
