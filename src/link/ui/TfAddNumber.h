#pragma once
// Asks the telephone number to dial, for a gateway that has none.
#include "texts/Labels.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfAddNumber : public QDialog
{
    Q_OBJECT
public:
    explicit TfAddNumber(QWidget* parent = nullptr);

    QLabel* lb1 = nullptr;
    QLineEdit* ed1 = nullptr;
    QPushButton* sbOk = nullptr;
    QPushButton* sbCancel = nullptr;

    // The number typed, or an empty text when the dialog was cancelled.
    QString ask();
    void sbOkClick(); // refuses an empty number with a message

    void setLabels(const Tlabels& labels);
};
inline TfAddNumber* fAddNumber = nullptr;

inline constexpr int kNumberMissingText = 715;
