#pragma once
// Asks the user name and password of a gateway that is not in the list.
#include "texts/Labels.h"

#include <QDialog>

class TfLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TfLogin(QWidget* parent = nullptr);

    void setLabels(const Tlabels&) {}
};
inline TfLogin* fLogin = nullptr;
