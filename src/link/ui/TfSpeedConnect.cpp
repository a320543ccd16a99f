#include "link/ui/TfSpeedConnect.h"

TfSpeedConnect::TfSpeedConnect(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfSpeedConnect"));
    setWindowTitle(QStringLiteral("Connect"));
}
