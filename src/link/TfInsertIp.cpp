#include "link/TfInsertIp.h"

TfInsertIp::TfInsertIp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfInsertIp"));
    setWindowTitle(QStringLiteral("Mesk config program"));
}
