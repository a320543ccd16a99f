#pragma once
// The progress window of the whole-gateway runs and of the network page's saves: a bar and one status line.
// The user cannot close it.
#include <QDialog>

class CaptionLabel;
class QProgressBar;

class TfLoad : public QDialog
{
    Q_OBJECT
public:
    explicit TfLoad(QWidget* parent = nullptr);
    QProgressBar* pb1 = nullptr;
    CaptionLabel* lb1 = nullptr;

    // Shows text 790, a blank and text as the status line. A CR LF anywhere makes the last two characters
    // go; a first "&" that is not doubled is doubled, so that it shows. Pending events are processed first.
    void SetStatus(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override; // refused
    void keyPressEvent(QKeyEvent* event) override;
};
inline TfLoad* fLoad = nullptr;
