#pragma once
// User input as the window system hands it over: queued on the platform's input queue (asynchronous delivery)
// and delivered to the window when the event loop next looks, wherever that loop runs (inside a wait, too).
// Qt routes it as it routes a real user's: by position, focus, open popups, shortcuts and modal boxes.
#include <QCoreApplication>
#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace systemInput {

using Async = QWindowSystemInterface::AsynchronousDelivery;

// A press, release or move of the left button (or another one) at pos of w (its centre when pos is null).
inline void mouse(QWidget* w, QEvent::Type type, QPoint pos = {}, Qt::MouseButton which = Qt::LeftButton)
{
    if (pos.isNull())
        pos = w->rect().center();
    QWidget* top = w->window();
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::MouseButtons(which) : Qt::NoButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : which;
    QWindowSystemInterface::handleMouseEvent<Async>(top->windowHandle(), QPointF(w->mapTo(top, pos)),
                                                    QPointF(w->mapToGlobal(pos)), buttons, button, type);
}

inline void click(QWidget* w, QPoint pos = {})
{
    mouse(w, QEvent::MouseButtonPress, pos);
    mouse(w, QEvent::MouseButtonRelease, pos);
}

// A click of the right button, which asks for the context menu.
inline void rightClick(QWidget* w, QPoint pos = {})
{
    mouse(w, QEvent::MouseButtonPress, pos, Qt::RightButton);
    mouse(w, QEvent::MouseButtonRelease, pos, Qt::RightButton);
}

// One typed character, to the focus of the window that window belongs to.
inline void type(QWidget* window, QChar c)
{
    QWindow* handle = window->window()->windowHandle();
    const int key = c.isDigit() ? Qt::Key_0 + c.digitValue() : c.toUpper().unicode();
    QWindowSystemInterface::handleKeyEvent<Async>(handle, QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QWindowSystemInterface::handleKeyEvent<Async>(handle, QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
}

// A key with modifiers (a shortcut), to the focus of window's window.
inline void key(QWidget* window, int key, Qt::KeyboardModifiers modifiers, const QString& text = {})
{
    QWindow* handle = window->window()->windowHandle();
    QWindowSystemInterface::handleKeyEvent<Async>(handle, QEvent::KeyPress, key, modifiers, text);
    QWindowSystemInterface::handleKeyEvent<Async>(handle, QEvent::KeyRelease, key, modifiers, text);
}

// The window manager's close (the title bar's button).
inline void close(QWidget* window)
{
    QWindowSystemInterface::handleCloseEvent<Async>(window->window()->windowHandle());
}

} // namespace systemInput
