#include "link/ui/TfLogin.h"

#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/WindowUtil.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kLoginTitle = 782;

} // namespace

TfLogin::TfLogin(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfLogin"));
    setWindowTitle(QStringLiteral("Login"));
    lbUser = named(new QLabel(this), "lbUser");
    edUser = named(new QLineEdit(this), "edUser");
    lbPass = named(new QLabel(this), "lbPass");
    edPassword = named(new QLineEdit(this), "edPassword");
    edPassword->setEchoMode(QLineEdit::Password);
    sbOk = named(new QPushButton(QStringLiteral("OK"), this), "sbOk");
    sbOk->setDefault(true);
    connect(sbOk, &QPushButton::clicked, this, &QDialog::accept);
    auto* grid = new QGridLayout(this);
    grid->addWidget(lbUser, 0, 0);
    grid->addWidget(edUser, 0, 1);
    grid->addWidget(lbPass, 1, 0);
    grid->addWidget(edPassword, 1, 1);
    grid->addWidget(sbOk, 2, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(300);
    setLabels({});
}

bool TfLogin::ask(GatewayEntry& entry)
{
    setWindowTitle(labelOr(labelTexts, kLoginTitle, QStringLiteral("Login")));
    edUser->setText(entry.Username);
    edPassword->setText(entry.Password);
    edUser->setFocus();
    if (ShowModal(this) != QDialog::Accepted)
        return false;
    entry.Username = edUser->text();
    entry.Password = edPassword->text();
    return true;
}

void TfLogin::setLabels(const Tlabels& t)
{
    lbUser->setText(labelOr(t, 103, QStringLiteral("Username :")));
    lbPass->setText(labelOr(t, 104, QStringLiteral("Password :")));
}
