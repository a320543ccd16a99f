#include "link/TfNewGateway.h"

TfNewGateway::TfNewGateway(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfNewGateway"));
    setWindowTitle(QStringLiteral("Gateway"));
}
