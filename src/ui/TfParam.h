#pragma once
// The please-wait window shown around a single page's load or save. The user cannot close it.
#include <QDialog>

class QLabel;
class QWidget;

class TfParam : public QDialog
{
    Q_OBJECT
public:
    explicit TfParam(QWidget* parent = nullptr);
    QLabel* lb1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
inline TfParam* fParam = nullptr;

// Shows the please-wait window with the texts of title 0 (saving), 1 (loading), 2 (reading information) or
// 3 (loading from the gateway); another title keeps the texts of the last use. Sets progressShown and
// disables parent.
void ShowProgress(int title, QWidget* parent);
// Hides the please-wait window, clears progressShown, enables parent and gives it the focus.
void HideProgress(QWidget* parent);
