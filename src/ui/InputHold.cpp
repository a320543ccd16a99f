#include "ui/InputHold.h"

#include "link/LinkIo.h"
#include "platform/Wait.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <private/qguiapplication_p.h>
#include <qpa/qwindowsysteminterface_p.h>

#include <deque>
#include <memory>
#include <vector>

namespace {

using Qws = QWindowSystemInterfacePrivate;
using WsEvent = Qws::WindowSystemEvent;

template <class T> std::unique_ptr<WsEvent> copyAs(const WsEvent* e)
{
    return std::make_unique<T>(*static_cast<const T*>(e));
}

// A copy of a window-system event of the kinds that are held; null for all others (the close, enter and
// leave, the window's own events).
std::unique_ptr<WsEvent> holdableCopy(const WsEvent* e)
{
    switch (e->type) {
    case Qws::Mouse:
        return copyAs<Qws::MouseEvent>(e);
    case Qws::Wheel:
        return copyAs<Qws::WheelEvent>(e);
    case Qws::Key:
        return copyAs<Qws::KeyEvent>(e);
    case Qws::Touch:
        return copyAs<Qws::TouchEvent>(e);
    case Qws::ContextMenu:
        return copyAs<Qws::ContextMenuEvent>(e);
    default:
        return nullptr;
    }
}

// The window an event will reach when Qt delivers it.
QWindow* targetOf(const WsEvent* e)
{
    switch (e->type) {
    case Qws::Mouse:
    case Qws::Wheel:
    case Qws::Touch: {
        const auto* p = static_cast<const Qws::UserEvent*>(e);
        if (p->window || !p->nullWindow())
            return p->window;
        const QPointF global = e->type == Qws::Mouse   ? static_cast<const Qws::MouseEvent*>(e)->globalPos
                               : e->type == Qws::Wheel ? static_cast<const Qws::WheelEvent*>(e)->globalPos
                                                       : QCursor::pos();
        return QGuiApplication::topLevelAt(global.toPoint());
    }
    case Qws::Key: {
        const auto* k = static_cast<const Qws::KeyEvent*>(e);
        return k->window || !k->nullWindow() ? k->window.data() : QGuiApplication::focusWindow();
    }
    case Qws::ContextMenu:
        return static_cast<const Qws::ContextMenuEvent*>(e)->window;
    default:
        return nullptr;
    }
}

// Held input: a window-system event, or an event that was sent straight to an object (a widget, a shortcut's
// action) without the window system, which goes back to that object.
struct HeldInput
{
    std::unique_ptr<WsEvent> system;
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
};

class InputHold : public QObject, public QWindowSystemEventHandler
{
public:
    InputHold(QMainWindow* main, QAction* disconnect) : QObject(main), main_(main), disconnect_(disconnect)
    {
        busyDelay_.setSingleShot(true);
        busyDelay_.setInterval(kBusyCursorMs);
        connect(&busyDelay_, &QTimer::timeout, this, [this] { showBusy(); });
        SetLinkWaitWatch([this](bool waiting) { waitChanged(waiting); });
        Qws::installWindowSystemEventHandler(this);
        qApp->installEventFilter(this);
    }

    ~InputHold() override
    {
        Qws::removeWindowSystemEventhandler(this);
        SetLinkWaitWatch({});
        if (busyShown_)
            QGuiApplication::restoreOverrideCursor();
    }

    // Every event of the window system passes here before Qt handles it.
    bool sendEvent(WsEvent* e) override
    {
        // Looked at before anything is copied: most events pass, and a mouse move passes often.
        std::unique_ptr<WsEvent> copy = main_ && holds(e) ? holdableCopy(e) : nullptr;
        if (!copy)
            return deliver(e);
        held_.push_back({std::move(copy), nullptr, nullptr});
        if (!LinkInputHeld())
            postNext();
        return true;
    }

    // Input sent straight to a widget or a shortcut's action (not through the window system, as tests and input
    // methods send it) is held the same way.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
            if (!event->spontaneous())
                return false;
            break;
        case QEvent::InputMethod:
        case QEvent::Shortcut:
            break;
        default:
            return false;
        }
        if (!main_ || !holding() || insideDelivery() || !mainTakesInput())
            return false;
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            if (!ofMain(widget) || onDisconnect(widget))
                return false;
        } else if (event->type() != QEvent::Shortcut || watched == disconnect_ ||
                   !ofMain(QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                             : QApplication::activeWindow())) {
            return false;
        }
        held_.push_back({nullptr, watched, std::unique_ptr<QEvent>(event->clone())});
        if (!LinkInputHeld())
            postNext();
        return true;
    }

private:
    // New input waits behind input still held, so none overtakes another.
    bool holding() const { return LinkInputHeld() || !held_.empty(); }

    // Events that Qt sends while it delivers one of the window system's (or a held one) belong to that delivery.
    // A wait opened meanwhile (a handler's exchange) runs its own events one nesting deeper.
    bool insideDelivery() const { return !deliveries_.empty() && deliveries_.back() == nestedWaits(); }

    // Input to a disabled main window, or one behind a modal box, does nothing now and is not kept for later.
    bool mainTakesInput() const
    {
        QWindow* window = main_->windowHandle();
        return main_->isEnabled() && !(window && QGuiApplicationPrivate::instance()->isWindowBlocked(window));
    }

    // The main window, or a popup (menu, drop-down list) opened from it.
    bool ofMain(const QWidget* widget) const
    {
        const QWidget* window = widget ? widget->window() : nullptr;
        while (window && window != main_ && window->windowType() == Qt::Popup && window->parentWidget())
            window = window->parentWidget()->window();
        return window && window == main_;
    }

    bool ofMain(const QWindow* window) const
    {
        if (!window)
            return false;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == window)
                return ofMain(top);
        return false;
    }

    bool onDisconnect(QWidget* widget) const
    {
        for (; widget && widget != main_; widget = widget->parentWidget())
            if (const auto* button = qobject_cast<QToolButton*>(widget))
                return disconnect_ && button->defaultAction() == disconnect_;
        return false;
    }

    bool holds(const WsEvent* e)
    {
        const auto* mouse = e->type == Qws::Mouse ? static_cast<const Qws::MouseEvent*>(e) : nullptr;
        // A press and its release are never parted: the rest of a click goes where its press went.
        if (mouse && passedPressOpen_) {
            passedPressOpen_ = mouse->buttons != Qt::NoButton;
            return false;
        }
        if (mouse && heldPressOpen_) {
            heldPressOpen_ = mouse->buttons != Qt::NoButton;
            return true;
        }
        QWindow* target = targetOf(e);
        if (!holding() || !ofMain(target) || !mainTakesInput())
            return false;
        if (mouse) {
            // The tool-bar Disconnect ends the wait at once.
            if (mouse->buttonType == QEvent::MouseButtonPress && target == main_->windowHandle() &&
                onDisconnect(main_->childAt(mouse->localPos.toPoint()))) {
                passedPressOpen_ = mouse->buttons != Qt::NoButton;
                return false;
            }
            heldPressOpen_ = mouse->buttons != Qt::NoButton;
        }
        return true;
    }

    bool deliver(WsEvent* e)
    {
        deliveries_.push_back(nestedWaits());
        const bool handled = QWindowSystemEventHandler::sendEvent(e);
        deliveries_.pop_back();
        return handled;
    }

    void postNext()
    {
        if (posted_)
            return;
        posted_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                posted_ = false;
                deliverNext();
            },
            Qt::QueuedConnection);
    }

    // One held event, handed to Qt as if the window system gave it now; the next one follows from the event
    // loop, so that what this one starts (a page switched, a menu opened) is in place before it. The next is
    // asked for first: a handler that pauses without waiting for an answer lets it in, as it would a new one.
    void deliverNext()
    {
        if (closingProgram()) {
            held_.clear(); // the program ends: nothing new starts
            return;
        }
        if (LinkInputHeld() || held_.empty())
            return; // the end of the wait asks again
        HeldInput input = std::move(held_.front());
        held_.pop_front();
        if (!held_.empty())
            postNext();
        if (input.system) {
            deliver(input.system.get());
        } else {
            // Typed text of an input method goes where the focus is now, as a key would.
            QObject* receiver =
                input.event->type() == QEvent::InputMethod ? QGuiApplication::focusObject() : input.receiver.data();
            if (!receiver)
                return;
            deliveries_.push_back(nestedWaits());
            QApplication::instance()->notify(receiver, input.event.get());
            deliveries_.pop_back();
        }
    }

    void waitChanged(bool waiting)
    {
        if (waiting) {
            busyDelay_.start();
            return;
        }
        busyDelay_.stop();
        if (busyShown_) {
            busyShown_ = false;
            QGuiApplication::restoreOverrideCursor();
        }
        if (!held_.empty())
            postNext();
    }

    void showBusy()
    {
        if (busyShown_ || !LinkInputHeld())
            return;
        busyShown_ = true;
        QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    }

    QPointer<QMainWindow> main_;
    QPointer<QAction> disconnect_;
    std::deque<HeldInput> held_;
    std::vector<int> deliveries_; // nestedWaits() at each delivery under way, innermost last
    bool posted_ = false;
    bool heldPressOpen_ = false;   // a held press whose release has not come yet
    bool passedPressOpen_ = false; // the Disconnect's press went through and its release has not come yet
    QTimer busyDelay_;
    bool busyShown_ = false;
};

} // namespace

void installInputHold(QMainWindow* main, QAction* disconnect)
{
    if (qApp)
        new InputHold(main, disconnect);
}
