#pragma once
// The row editor of the mobility extension table: one extension's name, user, password, GSM number and its
// two switches. Created with the other windows; the extension page has no way to open it.
#include "texts/Labels.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfExt : public QDialog
{
    Q_OBJECT
public:
    explicit TfExt(QWidget* parent = nullptr);

    QLabel* lbName = nullptr;
    QLineEdit* edName = nullptr;
    QLabel* lbUser = nullptr;
    QLineEdit* edUser = nullptr;
    QLabel* lbPass = nullptr;
    QLineEdit* edPass = nullptr;
    QLabel* lbClip = nullptr;
    QLineEdit* edGsm = nullptr;
    QCheckBox* cbFollow = nullptr;
    QCheckBox* cbSms = nullptr;
    QPushButton* sbOk = nullptr;
    QPushButton* sbCancel = nullptr;

    void setLabels(const Tlabels& labels);
};
inline TfExt* fExt = nullptr;
