#include "link/ui/TfAddNumber.h"

#include "platform/Dialogs.h"
#include "texts/LabelRule.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfAddNumber::TfAddNumber(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfAddNumber"));
    lb1 = new QLabel(this);
    lb1->setObjectName(QStringLiteral("lb1"));
    ed1 = new QLineEdit(this);
    ed1->setObjectName(QStringLiteral("ed1"));
    sbOk = new QPushButton(this);
    sbOk->setObjectName(QStringLiteral("sbOk"));
    sbOk->setDefault(true);
    sbCancel = new QPushButton(this);
    sbCancel->setObjectName(QStringLiteral("sbCancel"));
    connect(sbOk, &QPushButton::clicked, this, [this] { sbOkClick(); });
    connect(sbCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sbOk);
    buttons->addWidget(sbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lb1);
    layout->addWidget(ed1);
    layout->addLayout(buttons);
    setMinimumWidth(300);
    setLabels({});
}

QString TfAddNumber::ask()
{
    ed1->clear();
    ed1->setFocus();
    if (ShowModal(this) != QDialog::Accepted)
        return QString();
    return ed1->text().trimmed();
}

void TfAddNumber::sbOkClick()
{
    if (ed1->text().trimmed().isEmpty()) {
        MessageBox(labelText(kNumberMissingText), labelText(47), MB_ICONERROR);
        ed1->setFocus();
        return;
    }
    accept();
}

void TfAddNumber::setLabels(const Tlabels& t)
{
    setWindowTitle(labelOr(t, 729, QStringLiteral("Add number")));
    lb1->setText(labelOr(t, 730, QStringLiteral("Add phone number to dial :")));
    sbOk->setText(labelOr(t, 89, QStringLiteral("OK")));
    sbCancel->setText(labelOr(t, 90, QStringLiteral("Cancel")));
}
