#include "pages/GroupsPageUtil.h"

#include "texts/Labels.h"
#include "ui/KeyFilters.h"

#include <QAbstractSpinBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>
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

namespace groupsPage {

QLabel* label(QWidget* parent, const char* name, const QString& caption)
{
    auto* l = named(new QLabel(caption, parent), name);
    l->setWordWrap(true);
    return l;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QGroupBox(caption, parent), name);
}

QSpinBox* spin(QWidget* parent, const char* name, int min, int max, int value)
{
    auto* s = named(new QSpinBox(parent), name);
    s->setRange(min, max);
    s->setValue(value);
    s->setFixedSize(64, kRowHeight);
    DigitKeyFilter::install(s);
    return s;
}

QLineEdit* edit(QWidget* parent, const char* name, int maxLength, int width, const QString& text)
{
    auto* e = named(new QLineEdit(text, parent), name);
    e->setMaxLength(maxLength);
    e->setFixedHeight(kRowHeight);
    if (width > 0)
        e->setFixedWidth(width);
    return e;
}

QPlainTextEdit* helpMemo(QWidget* parent, const char* name)
{
    auto* m = named(new QPlainTextEdit(parent), name);
    m->setReadOnly(true);
    m->setFrameShape(QFrame::NoFrame);
    m->setFocusPolicy(Qt::NoFocus);
    m->setBackgroundVisible(false);
    m->viewport()->setAutoFillBackground(false);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont small = m->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m->setFont(small);
    m->setFixedHeight(4 * QFontMetrics(small).lineSpacing() + 12);
    return m;
}

QGridLayout* grid(QGroupBox* box)
{
    auto* g = new QGridLayout(box);
    g->setContentsMargins(6, 2, 6, 3);
    g->setVerticalSpacing(1);
    return g;
}

QVBoxLayout* column(std::initializer_list<QGroupBox*> groups)
{
    auto* c = new QVBoxLayout;
    c->setSpacing(2);
    for (QGroupBox* g : groups)
        c->addWidget(g);
    return c;
}

void layOutTabbedColumns(QWidget* page, QTabBar* tabs, QCheckBox* same, QVBoxLayout* left, QVBoxLayout* right)
{
    auto* tabRow = new QHBoxLayout;
    tabRow->addWidget(tabs);
    tabRow->addSpacing(16);
    tabRow->addWidget(same);
    tabRow->addStretch();
    left->addStretch();
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(2);
    layout->addLayout(tabRow);
    layout->addLayout(columns);
    layout->addStretch();
}

} // namespace groupsPage
