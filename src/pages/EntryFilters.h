#pragma once
// Filters of the number and prefix edits of the ISDN and network pages.
//
// The key filter lets through the typed characters of a set, Backspace and the copy and paste keys (codes 3
// and 22); other typed characters are dropped. Keys that type nothing (arrows, Tab, Delete) pass, and so do
// Enter and Escape (the dialog's default and cancel buttons). Pasted text does not pass the key filter; the
// comma guard refuses any text that holds a ",", typed or pasted, because the gateway splits its values at
// commas.
#include <QObject>
#include <QString>

class QLineEdit;

class EntryKeyFilter : public QObject
{
public:
    EntryKeyFilter(const QString& allowed, QObject* parent) : QObject(parent), allowed_(allowed) {}
    // Installs a filter that lets allowed through on edit (the filter is owned by the edit).
    static EntryKeyFilter* install(QLineEdit* edit, const QString& allowed);
    void setAllowed(const QString& allowed) { allowed_ = allowed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString allowed_;
};

// Refuses every edit of edit's text that would leave a "," in it.
void installCommaGuard(QLineEdit* edit);

inline const QString kDigitChars = QStringLiteral("0123456789");
inline const QString kDialChars = QStringLiteral("0123456789#+*");
