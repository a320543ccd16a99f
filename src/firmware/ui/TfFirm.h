#pragma once
// The progress window of the firmware upgrade and of the voice message transfers: a status line above a bar
// running 0 to 100. The user cannot close it; the run hides it.
#include <QDialog>

class QLabel;
class QProgressBar;

class TfFirm : public QDialog
{
    Q_OBJECT
public:
    explicit TfFirm(QWidget* parent = nullptr);
    QLabel* lbFirmStatus = nullptr;
    QProgressBar* pbStatus = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override; // refused
    void keyPressEvent(QKeyEvent* event) override;
};
inline TfFirm* fFirm = nullptr;
