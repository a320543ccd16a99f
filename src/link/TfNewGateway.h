#pragma once
// The entry of one gateway of the list: name, address, port, user, password, gate file.
#include "texts/Labels.h"

#include <QDialog>

class TfNewGateway : public QDialog
{
    Q_OBJECT
public:
    explicit TfNewGateway(QWidget* parent = nullptr);

    void setLabels1(const Tlabels&) {} // first piece
    void setLabels2(const Tlabels&) {} // second piece
};
inline TfNewGateway* fNewGateway = nullptr;
