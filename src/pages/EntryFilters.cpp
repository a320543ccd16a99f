#include "pages/EntryFilters.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace {

class NoCommaValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        return input.contains(QLatin1Char(',')) ? Invalid : Acceptable;
    }
};

} // namespace

EntryKeyFilter* EntryKeyFilter::install(QLineEdit* edit, const QString& allowed)
{
    auto* filter = new EntryKeyFilter(allowed, edit);
    edit->installEventFilter(filter);
    return filter;
}

bool EntryKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste))
        return false;
    const int k = key->key();
    // Enter and Escape go on to the window: its default and cancel buttons.
    if (k == Qt::Key_Tab || k == Qt::Key_Backtab || k == Qt::Key_Delete || k == Qt::Key_Backspace ||
        k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Escape)
        return false;
    const QString text = key->text();
    if (text.isEmpty())
        return false; // arrows and the like type nothing
    const QChar c = text.at(0);
    const bool kept = allowed_.contains(c) || c == QChar(8) || c == QChar(3) || c == QChar(22);
    return !kept;
}

void installCommaGuard(QLineEdit* edit)
{
    edit->setValidator(new NoCommaValidator(edit));
}
