#pragma once
// The list of known gateways ("gtws.ini"): add, edit, remove, select, connect. Shown without waiting;
// closing it enables the main window again.
#include "texts/Labels.h"

#include <QDialog>

class TfGatewayList : public QDialog
{
    Q_OBJECT
public:
    explicit TfGatewayList(QWidget* parent = nullptr);

    void setLabels(const Tlabels&) {}

protected:
    void done(int result) override;
};
inline TfGatewayList* fGatewayList = nullptr;
