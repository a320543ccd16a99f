#pragma once
// The progress of a modem call to the gateway.
#include "texts/Labels.h"

#include <QDialog>

class TfDialing : public QDialog
{
    Q_OBJECT
public:
    explicit TfDialing(QWidget* parent = nullptr);

    void setLabels(const Tlabels&) {}
};
inline TfDialing* fDialing = nullptr;
