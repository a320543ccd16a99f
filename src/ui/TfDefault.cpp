#include "ui/TfDefault.h"

#include "texts/LabelRule.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

TfDefault::TfDefault(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfDefault"));
    setWindowTitle(QStringLiteral("Default configurations"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    QPalette warning = Label1->palette();
    warning.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(warning);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1, 1);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    resize(360, 300);
    setLabels({});
}

void TfDefault::showEvent(QShowEvent* event)
{
    const int screenWidth = screen() ? screen()->availableGeometry().width() : 1024;
    const int wanted = ListBox1->sizeHintForColumn(0) + 2 * ListBox1->frameWidth() +
                       ListBox1->verticalScrollBar()->sizeHint().width() + 8;
    ListBox1->setMinimumWidth(std::min(wanted, screenWidth * 4 / 5));
    resize(std::max(width(), sizeHint().width()), height());
    QDialog::showEvent(event);
}

void TfDefault::setLabels(const Tlabels& t)
{
    setWindowTitle(labelOr(t, 855, QStringLiteral("Default configurations")));
    Label1->setText(
        labelOr(t, 856, QStringLiteral("When default configuration is used current configuration will be lost.")));
    BitBtn2->setText(labelOr(t, 90, QStringLiteral("Cancel")));
}
