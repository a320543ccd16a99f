#include "pages/TfExt.h"

TfExt::TfExt(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfExt"));
    setWindowTitle(QStringLiteral("Add/edit Mobility Extension"));
}
