#pragma once
// The row editor of the mobility extension table.
#include "texts/Labels.h"

#include <QDialog>

class TfExt : public QDialog
{
    Q_OBJECT
public:
    explicit TfExt(QWidget* parent = nullptr);

    void setLabels(const Tlabels&) {}
};
inline TfExt* fExt = nullptr;
