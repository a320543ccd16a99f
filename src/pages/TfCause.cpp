#include "pages/TfCause.h"

TfCause::TfCause(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfCause"));
    setWindowTitle(QStringLiteral("Cause"));
}
