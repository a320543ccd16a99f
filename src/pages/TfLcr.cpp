#include "pages/TfLcr.h"

TfLcr::TfLcr(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfLcr"));
    setWindowTitle(QStringLiteral("LCR"));
}
