#include "ui/TfLoad.h"

#include "platform/Wait.h"
#include "texts/Labels.h"
#include "ui/CaptionLabel.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressBar>
#include <QVBoxLayout>

TfLoad::TfLoad(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfLoad"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Loading parametres"));
    pb1 = new QProgressBar(this);
    pb1->setObjectName(QStringLiteral("pb1"));
    pb1->setRange(0, 100);
    pb1->setValue(0);
    pb1->setTextVisible(false);
    lb1 = new CaptionLabel(this);
    lb1->setObjectName(QStringLiteral("lb1"));
    lb1->setMinimumWidth(340);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(pb1);
    layout->addWidget(lb1);
}

void TfLoad::SetStatus(const QString& text)
{
    QString status = text;
    if (status.contains(QStringLiteral("\r\n")))
        status.chop(2);
    const qsizetype amp = status.indexOf(QLatin1Char('&'));
    if (amp >= 0 && (amp + 1 >= status.size() || status.at(amp + 1) != QLatin1Char('&')))
        status.insert(amp, QLatin1Char('&'));
    ProcessMessages();
    lb1->setCaption(labelText(790) + QLatin1Char(' ') + status);
    if (isVisible())
        repaint();
}

void TfLoad::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void TfLoad::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}
