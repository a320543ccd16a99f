#include "link/TfDialing.h"

TfDialing::TfDialing(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfDialing"));
    setWindowTitle(QStringLiteral("Dialing..."));
}
