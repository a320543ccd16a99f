#include "ui/KeyFilters.h"

#include "config/ConfigConversions.h"
#include "texts/LabelRule.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>

namespace {

// One overtype mask: its length and, per position, the separator standing there (0 for a digit).
struct MaskLayout
{
    int length;
    char separators[10];
};

constexpr MaskLayout kTime{5, {0, 0, ':', 0, 0}};
constexpr MaskLayout kDayMonth{5, {0, 0, '.', 0, 0}};
constexpr MaskLayout kLongTime{8, {0, 0, ':', 0, 0, ':', 0, 0}};
constexpr MaskLayout kDate{10, {0, 0, '.', 0, 0, '.', 0, 0, 0, 0}};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool inRange(char c, char low, char high)
{
    return c >= low && c <= high;
}

// Whether digit d may stand at position pos, given the other positions' current characters.
using LimitRule = bool (*)(int pos, char d, const char* chars);

// Hour tens at most 2 (1 when the units are 4..9); units at most maxUnitsAfterTwo after a "2".
bool hourLimit(int pos, char d, const char* chars, char maxUnitsAfterTwo)
{
    if (pos == 0)
        return d <= (inRange(chars[1], '4', '9') ? '1' : '2');
    if (pos == 1)
        return chars[0] != '2' || d <= maxUnitsAfterTwo;
    return true;
}

// Day tens at most 3 (2 when the units are 2..9), units at most 1 after a "3"; month tens at most 1 (only 0
// when the units are 3..9), units at most 2 after a "1". Positions past the month take any digit.
bool dayMonthLimit(int pos, char d, const char* chars)
{
    switch (pos) {
    case 0:
        return d <= (inRange(chars[1], '2', '9') ? '2' : '3');
    case 1:
        return chars[0] != '3' || d <= '1';
    case 3:
        return d <= (inRange(chars[4], '3', '9') ? '0' : '1');
    case 4:
        return chars[3] != '1' || d <= '2';
    default:
        return true;
    }
}

bool timeLimit(int pos, char d, const char* chars)
{
    if (pos == 3)
        return d <= '5';
    return hourLimit(pos, d, chars, '4');
}

bool longTimeLimit(int pos, char d, const char* chars)
{
    if (pos == 3 || pos == 6)
        return d <= '5';
    return hourLimit(pos, d, chars, '3');
}

int selStart(const QLineEdit* edit)
{
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void overtype(QLineEdit* edit, char& key, const MaskLayout& mask, LimitRule limit, bool hour24Rule)
{
    const char typed = key;
    key = 0; // the editor does the edit itself, or nothing
    if (!edit || (!isDigit(typed) && typed != '\b'))
        return;

    // The fields as the text holds them at their fixed places; anything but a digit reads as empty.
    char chars[10];
    const QString text = edit->text();
    for (int i = 0; i < mask.length; ++i) {
        if (mask.separators[i]) {
            chars[i] = mask.separators[i];
        } else {
            const QChar c = i < text.size() ? text.at(i) : QChar();
            chars[i] = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? char(c.unicode()) : '_';
        }
    }
    auto write = [&](int caret) {
        edit->setText(QString::fromLatin1(chars, mask.length));
        edit->setModified(true); // a person's edit; a text the program sets is not
        edit->setCursorPosition(caret);
    };

    int caret = selStart(edit);
    if (typed == '\b') {
        if (caret <= 0)
            return;
        if (caret > mask.length)
            caret = mask.length;
        if (mask.separators[caret - 1])
            --caret;
        if (caret <= 0)
            return;
        chars[caret - 1] = '_';
        write(caret - 1);
        return;
    }

    if (caret < mask.length && mask.separators[caret])
        ++caret;
    if (caret >= mask.length)
        return; // at or behind the end nothing is written

    // "24:00" is the only time with hour 24: a minute digit after "24" gives "00" minutes.
    if (hour24Rule && caret >= 3 && chars[0] == '2' && chars[1] == '4') {
        chars[3] = chars[4] = '0';
        write(mask.length);
        return;
    }
    if (!limit(caret, typed, chars))
        return;
    chars[caret] = typed;
    write(caret + 1);
}

// The character a key press types, as the old key-press event saw it; 0 for keys that type nothing.
char typedChar(const QKeyEvent& event)
{
    if (event.key() == Qt::Key_Backspace)
        return '\b';
    const QString text = event.text();
    if (text.isEmpty())
        return 0;
    const ushort u = text.at(0).unicode();
    return u < 0x100 ? char(u) : '?';
}

// Keys the window itself handles (focus moves, default and cancel buttons); the filters leave them alone.
bool isWindowKey(int key)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        return false;
    }
}

} // namespace

void DigitKeyPressFilter(char& key)
{
    if (!isDigit(key) && key != '\b')
        key = 0;
}

bool MaskedEditKeyAllowed(const QKeyEvent& event)
{
    const int key = event.key();
    if (isWindowKey(key))
        return true;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Backspace:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        return true;
    default:
        break;
    }
    // Digits of the main keyboard only; the keypad's digits are other keys.
    return key >= Qt::Key_0 && key <= Qt::Key_9 && !(event.modifiers() & Qt::KeypadModifier);
}

void TimeKeyPressFilter(QLineEdit* edit, char& key)
{
    overtype(edit, key, kTime, timeLimit, true);
}

void WideTimeKeyPressFilter(QLineEdit* edit, QChar& key)
{
    char c = key.unicode() < 0x100 ? char(key.unicode()) : '?';
    TimeKeyPressFilter(edit, c);
    key = QChar(uchar(c));
}

void DayMonthKeyPressFilter(QLineEdit* edit, char& key)
{
    overtype(edit, key, kDayMonth, dayMonthLimit, false);
}

void LongTimeKeyPressFilter(QLineEdit* edit, char& key)
{
    overtype(edit, key, kLongTime, longTimeLimit, false);
}

void DateEditKey(QLineEdit* edit, char& key)
{
    overtype(edit, key, kDate, dayMonthLimit, false);
}

DigitKeyFilter* DigitKeyFilter::install(QObject* widget)
{
    auto* filter = new DigitKeyFilter(widget);
    widget->installEventFilter(filter);
    // A spin box hands its keys to its inner edit, which may get them first.
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        if (auto* edit = spin->findChild<QLineEdit*>())
            edit->installEventFilter(filter);
    return filter;
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (isWindowKey(keyEvent->key()) || keyEvent->key() == Qt::Key_Delete)
        return false;
    char c = typedChar(*keyEvent);
    if (c == 0 && keyEvent->text().isEmpty())
        return false; // arrows and the like type nothing
    DigitKeyPressFilter(c);
    return c == 0;
}

MaskedKeyGuard* MaskedKeyGuard::install(QLineEdit* edit)
{
    auto* filter = new MaskedKeyGuard(edit);
    edit->installEventFilter(filter);
    return filter;
}

bool MaskedKeyGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        return !MaskedEditKeyAllowed(*static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

OvertypeKeyFilter::OvertypeKeyFilter(Mask mask, bool withGuard, QObject* parent)
    : QObject(parent), mask_(mask), withGuard_(withGuard)
{
}

OvertypeKeyFilter* OvertypeKeyFilter::install(QLineEdit* edit, Mask mask, bool withGuard)
{
    auto* filter = new OvertypeKeyFilter(mask, withGuard, edit);
    edit->installEventFilter(filter);
    return filter;
}

QString OvertypeKeyFilter::emptyText(Mask mask)
{
    switch (mask) {
    case Time:
        return QStringLiteral("__:__");
    case DayMonth:
        return QStringLiteral("__.__");
    case LongTime:
        return QStringLiteral("__:__:__");
    case Date:
        return QStringLiteral("__.__.____");
    }
    return QString();
}

bool OvertypeKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (withGuard_ && !MaskedEditKeyAllowed(*keyEvent))
        return true;
    if (isWindowKey(keyEvent->key()))
        return false;
    char c = typedChar(*keyEvent);
    if (c == 0)
        return false; // caret moves and the like type nothing
    switch (mask_) {
    case Time:
        TimeKeyPressFilter(edit, c);
        break;
    case DayMonth:
        DayMonthKeyPressFilter(edit, c);
        break;
    case LongTime:
        LongTimeKeyPressFilter(edit, c);
        break;
    case Date:
        DateEditKey(edit, c);
        break;
    }
    return true; // the editor has done the edit (or refused it)
}

namespace {

const char* const kHalfTypedMark = "halfTypedTimeMark";

} // namespace

void ClearTimeMark(QLineEdit* edit)
{
    edit->setPalette(QPalette());
    edit->setToolTip(QString());
}

bool TypedByPerson(const QLineEdit* edit)
{
    return edit->isEnabledTo(edit->window()) && !edit->isReadOnly() && edit->isModified();
}

bool TimeEditComplete(QLineEdit* edit)
{
    constexpr int kWholeTimeHint = 985;
    // Only a time a person typed in part is held back. A field they cannot edit, or a value the program put
    // there (the gateway's, a gate file's, the defaults') that nobody has edited since, goes on as it stands:
    // refusing it would lock every save on a value nobody can mend.
    if (isCompleteTime(edit->text()) || !TypedByPerson(edit)) {
        ClearTimeMark(edit);
        return true;
    }
    QPalette red = edit->palette();
    red.setColor(QPalette::Base, Qt::red);
    edit->setPalette(red);
    edit->setToolTip(labelOr(labelTexts, kWholeTimeHint,
                             QStringLiteral("Enter the whole time as HH:MM (hours 00-23, minutes 00-59).")));
    // The mark stays only while the time is unfinished: it goes as soon as the field holds a whole time.
    if (!edit->property(kHalfTypedMark).toBool()) {
        edit->setProperty(kHalfTypedMark, true);
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
            if (isCompleteTime(text))
                ClearTimeMark(edit);
        });
    }
    edit->setFocus();
    return false;
}

int SpinFieldValue(QSpinBox* box)
{
    bool ok = false;
    const int value = box->cleanText().toInt(&ok);
    if (ok)
        return value;
    box->setValue(box->minimum());
    if (auto* edit = box->findChild<QLineEdit*>())
        edit->setText(QString::number(box->minimum()));
    return box->minimum();
}

EmptiedSpinFilter* EmptiedSpinFilter::install(QSpinBox* box)
{
    auto* filter = new EmptiedSpinFilter(box);
    box->installEventFilter(filter);
    return filter;
}

bool EmptiedSpinFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        if (auto* box = qobject_cast<QSpinBox*>(watched))
            SpinFieldValue(box);
    return QObject::eventFilter(watched, event);
}
