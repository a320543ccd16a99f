#pragma once
// Asks the telephone number to dial.
#include "texts/Labels.h"

#include <QDialog>

class TfAddNumber : public QDialog
{
    Q_OBJECT
public:
    explicit TfAddNumber(QWidget* parent = nullptr);

    void setLabels(const Tlabels&) {}
};
inline TfAddNumber* fAddNumber = nullptr;
