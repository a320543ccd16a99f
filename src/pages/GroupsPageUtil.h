#pragma once
// Small pieces the GSM group pages share: their key filters and the builders of their controls.
#include <QCheckBox>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <initializer_list>
#include <vector>

class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabBar;
class QVBoxLayout;
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

// The builders of the two group pages' controls. Rows are kept low: both pages fit the page area of the main
// window at its start size.
namespace groupsPage {

inline constexpr int kRowHeight = 22;

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Labels wrap, so that a language with longer texts makes a page taller, not wider than the window.
QLabel* label(QWidget* parent, const char* name, const QString& caption);
QGroupBox* group(QWidget* parent, const char* name, const QString& caption);
// A spin edit one row high that takes only digits.
QSpinBox* spin(QWidget* parent, const char* name, int min, int max, int value);
// A line edit one row high; width 0 leaves its width to the layout.
QLineEdit* edit(QWidget* parent, const char* name, int maxLength, int width, const QString& text = QString());
// The read-only memo of four small lines under a prefix-conversion edit.
QPlainTextEdit* helpMemo(QWidget* parent, const char* name);
QGridLayout* grid(QGroupBox* box);
// The column of a page's groups, closely spaced.
QVBoxLayout* column(std::initializer_list<QGroupBox*> groups);
// The page's body: the tab bar with the "same settings" box beside it, below it the two columns, each
// ending in a stretch.
void layOutTabbedColumns(QWidget* page, QTabBar* tabs, QCheckBox* same, QVBoxLayout* left, QVBoxLayout* right);

// What showing the second tab and clicking "same settings" share: the controls locked while the second
// group follows the first, the first group's record copied over it, the records written to the image.
template <typename Record>
void applySameSettings(QCheckBox* same, std::array<Record, 2>& work, const std::function<void(bool)>& enable,
                       const std::function<void()>& toImage)
{
    enable(!same->isChecked());
    if (same->isChecked())
        work[1] = work[0];
    toImage();
}

} // namespace groupsPage
