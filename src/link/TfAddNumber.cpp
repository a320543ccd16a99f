#include "link/TfAddNumber.h"

TfAddNumber::TfAddNumber(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfAddNumber"));
    setWindowTitle(QStringLiteral("Add number"));
}
