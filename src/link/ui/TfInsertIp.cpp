#include "link/ui/TfInsertIp.h"

#include "link/ui/TfNewGateway.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/WindowUtil.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfInsertIp::TfInsertIp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfInsertIp"));
    auto* grid = new QGridLayout;
    addEditRow(grid, 0, this, Label1, "Label1", Edit1, "Edit1");
    addEditRow(grid, 1, this, Label4, "Label4", Edit4, "Edit4");
    addEditRow(grid, 2, this, Label2, "Label2", Edit2, "Edit2");
    addEditRow(grid, 3, this, Label3, "Label3", Edit3, "Edit3");
    Edit3->setEchoMode(QLineEdit::Password);
    Edit4->setMaxLength(5);
    grid->setColumnStretch(1, 1);

    BitBtn1 = named(new QPushButton(this), "BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = named(new QPushButton(this), "BitBtn2");
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(340);
    setLabels({});
}

bool TfInsertIp::ask(GatewayEntry& entry)
{
    Edit1->setText(entry.Host);
    Edit2->setText(entry.Username);
    Edit3->setText(entry.Password);
    Edit4->setText(QString::number(entry.Port));
    Edit1->setFocus();
    if (ShowModal(this) != QDialog::Accepted)
        return false;
    entry.Host = Edit1->text().trimmed();
    entry.Username = Edit2->text();
    entry.Password = Edit3->text();
    entry.Port = Edit4->text().trimmed().toInt();
    return true;
}

void TfInsertIp::BitBtn1Click()
{
    if (Edit1->text().trimmed().isEmpty()) {
        MessageBox(labelText(kAddressMissingText), labelText(47), MB_ICONERROR);
        Edit1->setFocus();
        return;
    }
    if (!IsValidPort(Edit4->text())) {
        MessageBox(labelText(kPortRangeText), labelText(47), MB_ICONERROR);
        Edit4->setFocus();
        return;
    }
    accept();
}

void TfInsertIp::setLabels(const Tlabels& t)
{
    Label1->setText(labelOr(t, 879, QStringLiteral("Gateway IP address :")));
    Label2->setText(labelOr(t, 877, QStringLiteral("Username :")));
    Label3->setText(labelOr(t, 878, QStringLiteral("Password :")));
    BitBtn1->setText(labelOr(t, 89, QStringLiteral("OK")));
    BitBtn2->setText(labelOr(t, 90, QStringLiteral("Cancel")));
    setWindowTitle(labelOr(t, 54, QStringLiteral("Mesk config program")));
    Label4->setText(labelOr(t, 880, QStringLiteral("Port : ")));
}
