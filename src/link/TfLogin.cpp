#include "link/TfLogin.h"

TfLogin::TfLogin(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfLogin"));
    setWindowTitle(QStringLiteral("Login"));
}
