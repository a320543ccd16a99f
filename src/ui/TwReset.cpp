#include "ui/TwReset.h"

#include "texts/LabelRule.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

TwReset::TwReset(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TwReset"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Gateway reset"));
    Label1 = new QLabel(QStringLiteral("Gateway is reseting ... please wait ..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setMinimumWidth(300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->addWidget(Label1);
}

void TwReset::setLabels(const Tlabels& t)
{
    Label1->setText(labelOr(t, 108, QStringLiteral("Gateway is reseting ... please wait ...")));
    setWindowTitle(labelOr(t, 109, QStringLiteral("Gateway restart")));
}

void TwReset::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void TwReset::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}
