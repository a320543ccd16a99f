#pragma once
// The prefix editor of the network lists.
#include "texts/Labels.h"

#include <QDialog>

class TfNet : public QDialog
{
    Q_OBJECT
public:
    explicit TfNet(QWidget* parent = nullptr);

    void setLabels(const Tlabels&) {}
};
inline TfNet* fNet = nullptr;
