#pragma once
// A modal yes/no question with captions chosen by the caller.
#include <QDialog>

class QLabel;
class QPushButton;

class TfDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TfDialog(QWidget* parent = nullptr);
    QLabel* lb1 = nullptr;        // the question
    QLabel* Image1 = nullptr;     // the question mark
    QPushButton* sbYes = nullptr; // default button
    QPushButton* sbNo = nullptr;  // cancel button

    void sbYesClick();
    void sbNoClick();
    int answer() const { return answer_; }

    // Lays the window out around the question: width = label width + 2 x label left; the buttons 10 pixels
    // apart around the middle. defaultButton 0 gives No the first place in the tab order, 1 gives it to Yes.
    void prepare(const QString& text, const QString& caption, const QString& yes, const QString& no, int defaultButton);

protected:
    void showEvent(QShowEvent* event) override;

private:
    int answer_ = 0; // 1 yes, 0 no
    QPushButton* firstFocus_ = nullptr;
};
inline TfDialog* fDialog = nullptr;

// Asks on TfDialog; true for Yes. Closing the window any other way than by Yes answers No.
bool AskYesNo(const QString& text, const QString& caption, const QString& yes, const QString& no, int defaultButton);
