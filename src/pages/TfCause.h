#pragma once
// Adds one pair of GSM cause and cause transferred to ISDN; lists the causes for reference.
#include "texts/Labels.h"

#include <QDialog>

class TfCause : public QDialog
{
    Q_OBJECT
public:
    explicit TfCause(QWidget* parent = nullptr);

    void setLabelsLabels(const Tlabels&) {} // its two labels
    void setLabelsCauses(const Tlabels&) {} // its list columns and the cause rows
};
inline TfCause* fCause = nullptr;
