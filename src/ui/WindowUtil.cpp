#include "ui/WindowUtil.h"

#include "platform/Wait.h"
#include "ui/TfMain.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>
#include <QWindow>

void centreOnMainWindow(QWidget* window)
{
    if (!window)
        return;
    window->adjustSize();
    QRect area;
    if (fMain && fMain->isVisible())
        area = fMain->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (!area.isValid())
        return;
    const QSize size = window->frameGeometry().size();
    window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

namespace {

QString& titleCell()
{
    static QString title = QStringLiteral("Mesk config program");
    return title;
}

} // namespace

QString applicationTitle()
{
    return titleCell();
}

void setApplicationTitle(const QString& title)
{
    titleCell() = title;
}

void keepInFrontOfMainWindow(QWidget* window)
{
    if (!fMain || !window || window == fMain)
        return;
    (void)window->winId(); // the native windows exist from here on
    (void)fMain->winId();
    if (QWindow* handle = window->windowHandle())
        handle->setTransientParent(fMain->windowHandle());
}

void showWithoutWaiting(QWidget* window)
{
    if (!window || closingProgram()) // the main window is gone: work ending after the close shows nothing
        return;
    keepInFrontOfMainWindow(window);
    centreOnMainWindow(window);
    window->show();
    window->raise();
    window->activateWindow();
    window->setFocus();
    if (fMain)
        fMain->setEnabled(false);
}

void enableMainWindow()
{
    if (!fMain)
        return;
    fMain->setEnabled(true);
    fMain->activateWindow();
    fMain->setFocus();
}

void addEditRow(QGridLayout* grid, int row, QWidget* parent, QLabel*& label, const char* labelName, QLineEdit*& edit,
                const char* editName)
{
    label = named(new QLabel(parent), labelName);
    edit = named(new QLineEdit(parent), editName);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
}
