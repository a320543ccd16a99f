#pragma once
// Asks the address, port, user name and password before a LAN connection to an unlisted gateway.
#include "texts/Labels.h"

#include <QDialog>

class TfInsertIp : public QDialog
{
    Q_OBJECT
public:
    explicit TfInsertIp(QWidget* parent = nullptr);

    void setLabels(const Tlabels&) {}
};
inline TfInsertIp* fInsertIp = nullptr;
