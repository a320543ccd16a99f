#include "ui/InputHold.h"

#include "link/LinkIo.h"
#include "platform/Dialogs.h"
#include "platform/Wait.h"
#include "ui/WindowUtil.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
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

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <vector>

#ifndef MESK_HOLD_QT_VERSION
#error "MESK_HOLD_QT_VERSION: the Qt version the hold was written for (set by CMakeLists.txt)"
#endif

namespace {

// The link's ends so far (heldInputLinkEnded); held input keeps the count of its time.
unsigned linkEnds = 0;

// A delivery under way of a window-system event or of held input. Events that Qt sends while it delivers one
// belong to that delivery; a wait opened meanwhile (a handler's exchange) runs its own events one nesting deeper.
struct Delivery
{
    int nesting;    // nestedWaits() as it began
    unsigned holds; // the input's holds begun by then (InputHold::holdsBegun_)
    bool held;      // held input, given now
    // Held input only: whether a wait began in it (a box shown after such a wait ended it, and held input never
    // answers that box), and whether the input was held before a link end.
    bool waited;
    bool beforeLinkEnd;
};
std::vector<Delivery> deliveries; // innermost last

// The innermost delivery of held input under way; null when none is.
Delivery* innermostHeld()
{
    const auto it = std::find_if(deliveries.rbegin(), deliveries.rend(), [](const Delivery& d) { return d.held; });
    return it == deliveries.rend() ? nullptr : &*it;
}

// Delivers as one entry of the deliveries: pushed for its time, popped after it.
class DeliveryScope
{
public:
    explicit DeliveryScope(const Delivery& delivery) { deliveries.push_back(delivery); }
    ~DeliveryScope() { deliveries.pop_back(); }
    DeliveryScope(const DeliveryScope&) = delete;
    DeliveryScope& operator=(const DeliveryScope&) = delete;
};

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
    unsigned linkEndsWhenHeld = linkEnds;
};

// A widget under a press whose release only ends what the press began: a spin box's and a slider's (a scroll
// bar's) arrows and page steps repeat while pressed, and their release runs nothing.
bool repeatsWhilePressed(QWidget* widget)
{
    for (; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget())
        if (qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QAbstractSlider*>(widget))
            return true;
    return false;
}

QWidget* widgetOf(const QWindow* window)
{
    if (!window)
        return nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->windowHandle() == window)
            return top;
    return nullptr;
}

class InputHold : public QObject, public QWindowSystemEventHandler
{
public:
    InputHold(QMainWindow* main, QAction* disconnect) : QObject(main), main_(main), disconnect_(disconnect)
    {
        busyDelay_.setSingleShot(true);
        busyDelay_.setInterval(kBusyCursorMs);
        connect(&busyDelay_, &QTimer::timeout, this, [this] { showBusy(); });
        busyEnd_.setSingleShot(true);
        busyEnd_.setInterval(kBusyCursorMs);
        connect(&busyEnd_, &QTimer::timeout, this, [this] { hideBusy(); });
    }

    ~InputHold() override
    {
        if (!started_)
            return;
        Qws::removeWindowSystemEventhandler(this);
        SetInputHoldWatch({});
        SetDialogOpenWatch({});
        if (busyShown_)
            QGuiApplication::restoreOverrideCursor();
    }

    // False when Qt's window-system handler is another one: Qt keeps the first handler installed and says nothing
    // of a later one.
    bool start()
    {
        Qws::installWindowSystemEventHandler(this);
        if (Qws::eventHandler != this)
            return false;
        started_ = true;
        SetInputHoldWatch([this](bool held) { holdChanged(held); });
        SetDialogOpenWatch([this](bool open) { dialogChanged(open); });
        qApp->installEventFilter(this);
        return true;
    }

    // Every event of the window system passes here before Qt handles it.
    bool sendEvent(WsEvent* e) override
    {
        // An event Qt makes while it delivers another (the ShortcutOverride of a key) belongs to that delivery:
        // held, it would be reported handled and the delivery would go on without it.
        if (insideDelivery())
            return deliver(e);
        // Looked at before anything is copied: most events pass, and a mouse move passes often.
        std::unique_ptr<WsEvent> copy = main_ && decideHold(e) ? holdableCopy(e) : nullptr;
        if (!copy)
            return deliver(e);
        held_.push_back({std::move(copy), nullptr, nullptr});
        if (!LinkInputHeld())
            postNext();
        return true;
    }

    // Input sent straight to a widget or a shortcut's action (not through the window system, as tests and input
    // methods send it) is held the same way. Windows shown by held input are noted here too.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            noteShown(watched);
            return false;
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
    bool insideDelivery() const
    {
        return !deliveries.empty() && deliveries.back().nesting == nestedWaits() &&
               deliveries.back().holds == holdsBegun_;
    }

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

    bool ofMain(const QWindow* window) const { return ofMain(widgetOf(window)); }

    bool onDisconnect(QWidget* widget) const
    {
        for (; widget && widget != main_; widget = widget->parentWidget())
            if (const auto* button = qobject_cast<QToolButton*>(widget))
                return disconnect_ && button->defaultAction() == disconnect_;
        return false;
    }

    // Whether e is held. A mouse event also moves the press it belongs to along: a press opened here decides, for
    // its moves and its release, whether they are held or go through with it.
    bool decideHold(const WsEvent* e)
    {
        const auto* mouse = e->type == Qws::Mouse ? static_cast<const Qws::MouseEvent*>(e) : nullptr;
        // A press and its release are parted only where the release runs nothing: the rest of a press that went
        // through to the Disconnect or to a repeating arrow goes through too.
        if (mouse && passedPressOpen_) {
            passedPressOpen_ = mouse->buttons != Qt::NoButton;
            return false;
        }
        if (mouse && heldPressOpen_) {
            heldPressOpen_ = mouse->buttons != Qt::NoButton;
            return true;
        }
        QWindow* target = targetOf(e);
        if (!holding() || !ofMain(target) || !mainTakesInput()) {
            // A press that goes through to a repeating arrow or to the Disconnect: if a wait begins before its
            // release, the release goes through at once (it ends the repeat, or the wait). Any other release
            // waits for the wait's end (a push button's click runs once, after it).
            if (mouse && mouse->buttonType == QEvent::MouseButtonPress && mouse->buttons != Qt::NoButton) {
                QWidget* top = widgetOf(target);
                QWidget* under = top ? top->childAt(mouse->localPos.toPoint()) : nullptr;
                passedPressOpen_ = repeatsWhilePressed(under) || (top && top == main_ && onDisconnect(under));
            }
            return false;
        }
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
        const DeliveryScope delivering({nestedWaits(), holdsBegun_, false, false, false});
        return QWindowSystemEventHandler::sendEvent(e);
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

    // A window shown while held input is delivered, before any wait began in that delivery: the held click
    // opened it, and keys typed after that click are meant for it, until a wait begins.
    void noteShown(QObject* watched)
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        const Delivery* held = innermostHeld();
        if (!widget || !widget->isWindow() || widget == main_ || widget->windowType() == Qt::Popup || !held ||
            held->waited)
            return;
        std::erase_if(openedByHeld_, [](const QPointer<QWidget>& w) { return !w || !w->isVisible(); });
        openedByHeld_.emplace_back(widget);
    }

    // The window a held key for the main window goes to now: the dialog that held input opened, when that
    // dialog keeps the main window from taking input and has the focus, or nothing else has it yet (the window
    // system makes a window active some time after it is shown, and a key typed right behind the click that
    // showed it is meant for it all the same); the main window otherwise.
    QWidget* keyWindowNow() const
    {
        if (mainTakesInput())
            return nullptr;
        QWidget* active = QApplication::activeModalWidget();
        if (!active)
            active = QApplication::activeWindow();
        QWidget* newest = nullptr;
        for (const QPointer<QWidget>& opened : openedByHeld_) {
            if (!opened || !opened->isVisible())
                continue;
            if (opened == active)
                return active;
            newest = opened;
        }
        return !active || active == main_ ? newest : nullptr;
    }

    // The window a held key typed for typedFor goes to now; null where it stays. Keys typed for the main window
    // follow a dialog that held input opened (keyWindowNow). Keys typed for a popup opened from it (a menu has the
    // keyboard while it is open) that has closed since, or is gone, most often by the held click that chose its
    // item, go where the main window's keys go: to that dialog, else to the main window, as they would have gone
    // once the popup closed. A popup still open keeps its keys.
    QWidget* keyWindowFor(const QWidget* typedFor, bool gone) const
    {
        const bool closedPopup = gone || (typedFor && typedFor != main_ && !typedFor->isVisible() && ofMain(typedFor));
        if (typedFor && typedFor != main_ && !closedPopup)
            return nullptr;
        QWidget* dialog = keyWindowNow();
        return dialog ? dialog : closedPopup ? main_.data() : nullptr;
    }

    void retarget(HeldInput& input) const
    {
        if (input.system && input.system->type == Qws::Key) {
            auto* key = static_cast<Qws::KeyEvent*>(input.system.get());
            const QWidget* typedFor = widgetOf(key->window);
            if (key->window && !typedFor)
                return;
            QWidget* window = keyWindowFor(typedFor, !key->window && !key->nullWindow());
            if (window && window->windowHandle())
                key->window = window->windowHandle();
        } else if (input.event &&
                   (input.event->type() == QEvent::KeyPress || input.event->type() == QEvent::KeyRelease)) {
            auto* widget = qobject_cast<QWidget*>(input.receiver.data());
            if (QWidget* window = keyWindowFor(widget ? widget->window() : nullptr, false))
                input.receiver = window->focusWidget() ? window->focusWidget() : window;
        }
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
        retarget(input);
        const DeliveryScope delivering({nestedWaits(), holdsBegun_, true, false, input.linkEndsWhenHeld != linkEnds});
        if (input.system) {
            QWindowSystemEventHandler::sendEvent(input.system.get());
            return;
        }
        // Typed text of an input method goes where the focus is now, as a key would.
        QObject* receiver =
            input.event->type() == QEvent::InputMethod ? QGuiApplication::focusObject() : input.receiver.data();
        if (receiver)
            QApplication::instance()->notify(receiver, input.event.get());
    }

    void holdChanged(bool held)
    {
        if (held) {
            ++holdsBegun_;
            for (Delivery& delivery : deliveries)
                delivery.waited = true;
            // Keys held from now on are typed in view of what the wait brings, not of a dialog opened before it
            // (a progress window a held click showed before its run's first exchange).
            openedByHeld_.clear();
            busyEnd_.stop();
            if (!busyShown_)
                busyDelay_.start();
            return;
        }
        busyDelay_.stop();
        if (busyShown_)
            busyEnd_.start();
        if (!held_.empty())
            postNext();
    }

    // A box or dialog that waits for the user shows the ordinary cursor, also while the input stays held around
    // it (a topic's entry that shows a box); once it has closed, a hold that goes on shows the busy cursor after
    // kBusyCursorMs again.
    void dialogChanged(bool open)
    {
        dialogOpen_ = open;
        busyEnd_.stop();
        busyDelay_.stop();
        if (open) {
            if (busyShown_) {
                busyShown_ = false;
                QGuiApplication::restoreOverrideCursor();
            }
        } else if (LinkInputHeld()) {
            busyDelay_.start();
        }
    }

    void showBusy()
    {
        if (busyShown_ || dialogOpen_ || !LinkInputHeld())
            return;
        busyShown_ = true;
        QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    }

    // Nothing has held the input for kBusyCursorMs: the run's exchanges and steps are over.
    void hideBusy()
    {
        if (!busyShown_ || LinkInputHeld())
            return;
        busyShown_ = false;
        QGuiApplication::restoreOverrideCursor();
    }

    QPointer<QMainWindow> main_;
    QPointer<QAction> disconnect_;
    std::deque<HeldInput> held_;
    // The input's holds begun so far (each a wait or a step that began to hold it).
    unsigned holdsBegun_ = 0;
    std::vector<QPointer<QWidget>> openedByHeld_; // windows held input opened
    bool posted_ = false;
    bool heldPressOpen_ = false;   // a held press whose release has not come yet
    bool passedPressOpen_ = false; // a press went through whose release goes through too, and has not come yet
    QTimer busyDelay_;
    QTimer busyEnd_;
    bool busyShown_ = false;
    bool dialogOpen_ = false; // a box or dialog waits for the user
    bool started_ = false;
};

void tellHoldFailure(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    MessageBox(text, applicationTitle(), MB_ICONWARNING);
}

} // namespace

QString inputHoldQtMismatch()
{
    if (qstrcmp(qVersion(), MESK_HOLD_QT_VERSION) == 0)
        return QString();
    return QStringLiteral("This program was built for Qt %1 but runs on Qt %2: input given while the gateway's "
                          "answer is awaited is not held.")
        .arg(QLatin1String(MESK_HOLD_QT_VERSION), QLatin1String(qVersion()));
}

bool installInputHold(QMainWindow* main, QAction* disconnect)
{
    if (!qApp || !inputHoldQtMismatch().isEmpty())
        return false;
    auto* hold = new InputHold(main, disconnect);
    if (hold->start())
        return true;
    delete hold;
    tellHoldFailure(QStringLiteral("Another handler of the window system's events was installed first: input given "
                                   "while the gateway's answer is awaited is not held."));
    return false;
}

void heldInputLinkEnded()
{
    ++linkEnds;
}

bool heldInputBeforeLinkEnd()
{
    const Delivery* held = innermostHeld();
    return held && held->beforeLinkEnd && held->nesting == nestedWaits();
}
