#pragma once
// Key filters of the pages' edits.
//
// - The digit filter lets "0".."9" and Backspace through and drops every other typed character.
// - The masked-edit key guard lets only Left, Right, Backspace and the main keyboard's digit keys reach a
//   masked edit, so the separators of its text cannot be deleted (Delete, Home, End, letters and the keypad's
//   digits are dropped).
// - The overtype editors keep a fixed text of two-digit fields (four for a year) and one-character separators,
//   "_" standing for an empty digit: HH:MM, hh:mm:ss, DD.MM and DD.MM.YYYY. A typed digit overwrites the
//   position under the caret (jumping a separator), but only when the field stays a valid time or date;
//   Backspace turns the digit before the caret back into "_". They do the edit themselves, so the typed
//   character is always consumed.
//
// The functions take the edit and the typed character by reference and set the character to 0 when the key
// is to be dropped, the way the pages' key handlers call them. The QObject filters wrap them for installing
// on a QLineEdit (or a QSpinBox, for the digit filter).
#include <QChar>
#include <QObject>

class QLineEdit;
class QSpinBox;
class QKeyEvent;

// The digit filter: key is set to 0 unless it is a digit or Backspace (8).
void DigitKeyPressFilter(char& key);
// The masked-edit key guard on a key-down: true when the key may reach the edit.
bool MaskedEditKeyAllowed(const QKeyEvent& event);

// HH:MM (separator ":" at 2); hours up to 24, and "24" only with "00" minutes.
void TimeKeyPressFilter(QLineEdit* edit, char& key);
// TimeKeyPressFilter for a wide character: converted to 8 bits, filtered, stored back.
void WideTimeKeyPressFilter(QLineEdit* edit, QChar& key);
// DD.MM (separator "." at 2).
void DayMonthKeyPressFilter(QLineEdit* edit, char& key);
// hh:mm:ss (separators ":" at 2 and 5); hours up to 23.
void LongTimeKeyPressFilter(QLineEdit* edit, char& key);
// DD.MM.YYYY (separators "." at 2 and 5).
void DateEditKey(QLineEdit* edit, char& key);

// The one rule for every HH:MM edit before its time is sent or stored: true when the edit holds a whole time
// (isCompleteTime, config/ConfigConversions.h), and also when the time is no person's unfinished typing: the
// field is disabled or read-only, or nobody has edited it since the program set its text (QLineEdit's modified
// flag; the overtype editors set it). Otherwise the edit is marked (red, the hint "Enter the whole time as
// HH:MM ..." as its tool tip, the focus) and the result is false: the caller sends and stores nothing and says
// so (the page frame's "Some values are not valid" box). The mark goes as soon as the edit holds a whole time.
bool TimeEditComplete(QLineEdit* edit);
// The edit's text is a person's typing: the field can be edited and has been since the program last set its text.
// Only such a text can be unfinished typing that a check holds back (times here, the LCR page's dates).
bool TypedByPerson(const QLineEdit* edit);
// Takes TimeEditComplete's mark off the edit, for an edit that is refilled with a time of another record.
void ClearTimeMark(QLineEdit* edit);
// A number field stands for its text read as a whole number; a text that is none (an emptied field: the spin box
// keeps its last value behind it) counts as the field's minimum, which the field then shows.
int SpinFieldValue(QSpinBox* box);

// Event filter: the digit filter on the typed characters of an edit or spin box.
class DigitKeyFilter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Installs a filter owned by widget on it (and on a spin box's inner edit).
    static DigitKeyFilter* install(QObject* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Event filter: a number field that loses the focus while emptied takes SpinFieldValue's reading at once, where
// the spin box would show its last value again.
class EmptiedSpinFilter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    static EmptiedSpinFilter* install(QSpinBox* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Event filter: the masked-edit key guard alone.
class MaskedKeyGuard : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    static MaskedKeyGuard* install(QLineEdit* edit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Event filter: one of the overtype editors on a QLineEdit, optionally behind the masked-edit key guard.
class OvertypeKeyFilter : public QObject
{
    Q_OBJECT
public:
    enum Mask { Time, DayMonth, LongTime, Date };
    OvertypeKeyFilter(Mask mask, bool withGuard, QObject* parent);
    static OvertypeKeyFilter* install(QLineEdit* edit, Mask mask, bool withGuard = true);

    // The empty text of a mask: "__:__", "__.__", "__:__:__", "__.__.____".
    static QString emptyText(Mask mask);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Mask mask_;
    bool withGuard_;
};
