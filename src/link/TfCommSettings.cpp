#include "link/TfCommSettings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

TfCommSettings::TfCommSettings(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfCommSettings"));
    setWindowTitle(QStringLiteral("Communication settings"));
    eTimeResponse = new QLineEdit(this);
    eTimeResponse->setObjectName(QStringLiteral("eTimeResponse"));
    cbSaveLog = new QCheckBox(QStringLiteral("Save communication LOG"), this);
    cbSaveLog->setObjectName(QStringLiteral("cbSaveLog"));
    cbAppendLog = new QCheckBox(QStringLiteral("Append to LOG file"), this);
    cbAppendLog->setObjectName(QStringLiteral("cbAppendLog"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Time-out :"), eTimeResponse);
    layout->addRow(cbSaveLog);
    layout->addRow(cbAppendLog);
}
