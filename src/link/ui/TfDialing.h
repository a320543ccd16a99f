#pragma once
// The progress of a modem call to the gateway: one line per step of the modem ("Dialing 123", "CONNECT 9600").
// Shown while the call is made; Close hides it.
#include "texts/Labels.h"

#include <QDialog>

class QListWidget;
class QPushButton;

class TfDialing : public QDialog
{
    Q_OBJECT
public:
    explicit TfDialing(QWidget* parent = nullptr);

    QListWidget* lb1 = nullptr;
    QPushButton* sbClose = nullptr;

    void addLine(const QString& line); // appended and shown at once
    void sbCloseClick();

    void setLabels(const Tlabels& labels);
};
inline TfDialing* fDialing = nullptr;
