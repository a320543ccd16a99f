#include "pages/TfQuestionMark.h"

TfQuestionMark::TfQuestionMark(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfQuestionMark"));
    setWindowTitle(QStringLiteral("Help"));
}
