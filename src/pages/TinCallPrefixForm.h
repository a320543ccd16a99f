#pragma once
// Asks one prefix conversion of the incoming groups page's CLIP conversion list.
#include "texts/Labels.h"

#include <QDialog>

class TinCallPrefixForm : public QDialog
{
    Q_OBJECT
public:
    explicit TinCallPrefixForm(QWidget* parent = nullptr);

    void setLabels(const Tlabels&) {}
};
inline TinCallPrefixForm* inCallPrefixForm = nullptr;
