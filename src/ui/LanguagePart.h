#pragma once
#include <memory>

class QTranslator;
// Loading the texts of a language and switching the whole interface to another language from the tool bar's
// language buttons or the Language menu.
class LanguagePart
{
public:
    // Refills labelTexts and languageNames from "languages.ini" in the program folder, and switches the
    // toolkit's own texts (standard buttons) to the same language. A "labels_count" above
    // the bound is said once, in a warning box.
    void loadLabels(int index);

    // The buttons: press the language's button and check its menu item (the others released and unchecked),
    // load and apply its texts, and store the choice under "Language" in settings.ini.
    void tbCzechClick() { switchLanguage(0); }
    void tbEnglishClick() { switchLanguage(1); }
    void tbHungaryClick() { switchLanguage(2); }
    void tbPolishClick() { switchLanguage(3); }
    // The menu items: check the item, then do what the language's button does.
    void mCzechClick();
    void mEnglishClick();
    void mHungaryClick();
    void mPolishClick();

    // Down/checked exactly for the language index; an index outside 0..3 leaves all up and unchecked.
    // setLanguageMarks sets the buttons first, then the menu items.
    void setLanguageMarks(int index);
    void setLanguageMenuChecks(int index);
    // Whether the tool bar button of the language index shows as down (tbPolish is no check button: its
    // down state is its button's).
    bool languageButtonDown(int index) const;

    LanguagePart();
    ~LanguagePart();

private:
    void switchLanguage(int index);
    void loadQtTexts(int index);
    std::unique_ptr<QTranslator> qtTexts_;
    int switchingTo_ = -1; // the language a running switch applies, -1 when none runs
    bool toldLabelsCountCut_ = false;
};
