#include "pages/GroupsPageUtil.h"

#include "texts/Labels.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
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

bool typesNothing(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Delete:
        return true;
    default:
        return event.key() != Qt::Key_Backspace && event.text().isEmpty();
    }
}

} // namespace

CharKeyFilter* CharKeyFilter::install(QObject* widget, Rule allowed)
{
    auto* filter = new CharKeyFilter(std::move(allowed), widget);
    widget->installEventFilter(filter);
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        if (auto* edit = spin->findChild<QLineEdit*>())
            edit->installEventFilter(filter);
    return filter;
}

bool CharKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (typesNothing(*keyEvent))
        return false;
    const QChar typed = keyEvent->key() == Qt::Key_Backspace ? QChar(8) : keyEvent->text().at(0);
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(watched))
        text = edit->text();
    return !allowed_(typed, text);
}

bool digitOrClipboardKey(QChar typed, const QString&)
{
    const char16_t c = typed.unicode();
    return (c >= u'0' && c <= u'9') || c == 8 || c == 3 || c == 22;
}

void refuseCommas(QLineEdit* edit)
{
    edit->setValidator(new NoCommaValidator(edit));
}

void markInvalid(QWidget* widget, bool invalid)
{
    if (!invalid) {
        widget->setPalette(QPalette());
        return;
    }
    QPalette red = widget->palette();
    red.setColor(QPalette::Base, Qt::red);
    widget->setPalette(red);
}

QString helpMemoLines(const std::vector<QString>& labels)
{
    QStringList lines;
    for (int k = 974; k <= 977; ++k)
        lines << labelAt(labels, k);
    return lines.join(QLatin1Char('\n'));
}

QPushButton* pageRowButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}
