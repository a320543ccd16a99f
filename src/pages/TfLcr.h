#pragma once
// The row editor of the LCR table.
#include "texts/Labels.h"

#include <QDialog>

class TfLcr : public QDialog
{
    Q_OBJECT
public:
    explicit TfLcr(QWidget* parent = nullptr);

    void setLabels(const Tlabels&) {}
};
inline TfLcr* fLcr = nullptr;
