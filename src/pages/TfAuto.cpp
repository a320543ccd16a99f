#include "pages/TfAuto.h"

TfAuto::TfAuto(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfAuto"));
    setWindowTitle(QStringLiteral("Autorouting"));
}
