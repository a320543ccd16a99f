#include "ui/ExchangeInputGuard.h"

#include "link/LinkIo.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QShortcut>
#include <QToolButton>

namespace {

class ExchangeInputGuard : public QObject
{
public:
    ExchangeInputGuard(QMainWindow* main, QAction* disconnect) : QObject(main), main_(main), disconnect_(disconnect) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!LinkExchangeWaiting() || !main_)
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Shortcut:
            break;
        default:
            return false;
        }
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            if (widget->window() != main_)
                return false;
            const auto* button = qobject_cast<QToolButton*>(widget);
            return !(button && disconnect_ && button->defaultAction() == disconnect_);
        }
        if (event->type() != QEvent::Shortcut || watched == disconnect_)
            return false;
        if (qobject_cast<QShortcut*>(watched)) {
            const auto* owner = qobject_cast<QWidget*>(watched->parent());
            return owner && owner->window() == main_;
        }
        if (const auto* action = qobject_cast<QAction*>(watched))
            return action->parent() == main_.data();
        return false;
    }

private:
    QPointer<QMainWindow> main_;
    QPointer<QAction> disconnect_;
};

} // namespace

void installExchangeInputGuard(QMainWindow* main, QAction* disconnect)
{
    if (qApp)
        qApp->installEventFilter(new ExchangeInputGuard(main, disconnect));
}
