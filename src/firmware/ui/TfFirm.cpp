#include "firmware/ui/TfFirm.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TfFirm::TfFirm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfFirm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Upgrading firmware..."));
    lbFirmStatus = new QLabel(this);
    lbFirmStatus->setObjectName(QStringLiteral("lbFirmStatus"));
    lbFirmStatus->setMinimumWidth(320);
    pbStatus = new QProgressBar(this);
    pbStatus->setObjectName(QStringLiteral("pbStatus"));
    pbStatus->setRange(0, 100);
    pbStatus->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(lbFirmStatus);
    layout->addWidget(pbStatus);
}

void TfFirm::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void TfFirm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}
