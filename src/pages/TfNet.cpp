#include "pages/TfNet.h"

TfNet::TfNet(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfNet"));
    setWindowTitle(QStringLiteral("Prefix"));
}
