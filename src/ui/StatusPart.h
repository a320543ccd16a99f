#pragma once
// The main window's status bar: panel 0 shows the connection, panel 1 the status text, drawn by the window.
#include <QString>

class QLabel;
class QMainWindow;
class QPainter;
class QRect;
class QStatusBar;
class QWidget;

class StatusPart
{
public:
    QStatusBar* sbMain = nullptr;
    QLabel* sbMainPanel0 = nullptr;  // connection information, at least 207 pixels
    QWidget* sbMainPanel1 = nullptr; // statusText, drawn by sbMainDrawPanel
    QString statusText;

    void buildStatusBar(QMainWindow* host);
    // Stores the status text and has panel 1 redrawn.
    void setStatusText(const QString& text);
    // Draws a panel of the status bar; only panel 1 is drawn here: statusText at the panel's left + 4, top.
    void sbMainDrawPanel(QPainter& painter, int panel, const QRect& rect);
};
