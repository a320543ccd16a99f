#pragma once
// The quick-connect window for a gateway that is not in the list.
#include <QDialog>

class TfSpeedConnect : public QDialog
{
    Q_OBJECT
public:
    explicit TfSpeedConnect(QWidget* parent = nullptr);
};
inline TfSpeedConnect* fSpeedConnect = nullptr;
