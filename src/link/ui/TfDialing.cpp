#include "link/ui/TfDialing.h"

#include "texts/LabelRule.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TfDialing::TfDialing(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfDialing"));
    lb1 = new QListWidget(this);
    lb1->setObjectName(QStringLiteral("lb1"));
    sbClose = new QPushButton(this);
    sbClose->setObjectName(QStringLiteral("sbClose"));
    connect(sbClose, &QPushButton::clicked, this, [this] { sbCloseClick(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sbClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lb1, 1);
    layout->addLayout(buttons);
    resize(320, 220);
    setLabels({});
}

void TfDialing::addLine(const QString& line)
{
    lb1->addItem(line);
    lb1->scrollToBottom();
    lb1->repaint();
}

void TfDialing::sbCloseClick()
{
    hide();
}

void TfDialing::setLabels(const Tlabels& t)
{
    setWindowTitle(labelOr(t, 714, QStringLiteral("Dialing...")));
    sbClose->setText(labelOr(t, 571, QStringLiteral("Close")));
}
