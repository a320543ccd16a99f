#pragma once
// The row editor of the autorouting table.
#include "texts/Labels.h"

#include <QDialog>

class TfAuto : public QDialog
{
    Q_OBJECT
public:
    explicit TfAuto(QWidget* parent = nullptr);

    void setLabels(const Tlabels&) {}
};
inline TfAuto* fAuto = nullptr;
