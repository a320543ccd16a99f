#pragma once
// The row editor of the autorouting table: the caller's GSM number (CLIP), the service the gateway gives the
// call and the number to dial (service A) or the callback limit (service C). The page's New and Modify
// prepare it (and say which it is) and show it; OK writes the row into the page's list.
#include "texts/Labels.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
struct AutoRow;

class TfAuto : public QDialog
{
    Q_OBJECT
public:
    explicit TfAuto(QWidget* parent = nullptr);

    QGroupBox* GroupBox1 = nullptr; // GSM
    QLabel* lbGsm = nullptr;
    QLineEdit* edGsm = nullptr;             // CLIP: digits, "+", "*", "#"
    QGroupBox* GroupBox2 = nullptr;         // used service
    QRadioButton* rbAutocallback = nullptr; // C
    QRadioButton* rbAutodial = nullptr;     // A
    QRadioButton* rbReject = nullptr;       // R
    QRadioButton* rbIgnore = nullptr;       // I
    QRadioButton* rbTone = nullptr;         // T
    QRadioButton* rbDisa = nullptr;         // D
    QLineEdit* edDial = nullptr;            // the number to dial; or one of the letters R, I, D, T alone
    QLabel* lbLimit = nullptr;
    QSpinBox* seLimit = nullptr;
    QLabel* Label1 = nullptr; // "(0=off)"
    QPushButton* sbOk = nullptr;
    QPushButton* sbCancel = nullptr;

    void prepareAdd();
    void prepareEdit(const AutoRow& row);
    bool addMode() const { return addMode_; }

    // Handlers.
    void FormActivate();
    void enablingRule(); // cbAutodialClick, cbAutocallbackClick, rbRejectClick
    void sbOkClick();

    // The service letter of the checked radio.
    QChar serviceLetter() const;

    void setLabels(const Tlabels& labels);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool addMode_ = true;
};
inline TfAuto* fAuto = nullptr;
