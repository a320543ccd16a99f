#pragma once
// Small pieces the GSM group pages share: their key filters and the builders of their controls.
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QLineEdit;
class QPushButton;
class QWidget;

// Lets through the typed characters that allowed accepts, and every key that types nothing (caret moves,
// Delete, the window's own keys). Backspace arrives as 8, Ctrl+C as 3 and Ctrl+V as 22.
class CharKeyFilter : public QObject
{
public:
    using Rule = std::function<bool(QChar typed, const QString& text)>;
    CharKeyFilter(Rule allowed, QObject* parent) : QObject(parent), allowed_(std::move(allowed)) {}
    static CharKeyFilter* install(QObject* widget, Rule allowed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Rule allowed_;
};

// Digits, Backspace and the copy and paste keys.
bool digitOrClipboardKey(QChar typed, const QString& text);

// The edit refuses a "," typed or pasted into it: its text travels inside a comma-separated value.
void refuseCommas(QLineEdit* edit);

// The edit's background red (a refused value), or back to normal.
void markInvalid(QWidget* widget, bool invalid);

// The four lines of the help memos under the prefix-conversion edits (entries 974 to 977; an empty entry
// is an empty line).
QString helpMemoLines(const std::vector<QString>& labels);

// A page button of the row at the page's foot.
QPushButton* pageRowButton(QWidget* parent, const char* name, const QString& caption);
