#include "pages/TinCallPrefixForm.h"

TinCallPrefixForm::TinCallPrefixForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TinCallPrefixForm"));
    setWindowTitle(QStringLiteral("Prefix"));
}
