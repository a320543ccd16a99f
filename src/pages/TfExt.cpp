#include "pages/TfExt.h"

#include "texts/LabelRule.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// "<entry> :" when the column's entry has a text, else the label's own English text.
QString columnLabel(const Tlabels& t, int k, const QString& english)
{
    const QString entry = labelAt(t, k);
    return entry.isEmpty() ? english : entry + QStringLiteral(" :");
}

} // namespace

TfExt::TfExt(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfExt"));
    setWindowTitle(QStringLiteral("Add/edit Mobility Extension"));

    lbName = named(new QLabel(QStringLiteral("Name :"), this), "lbName");
    edName = named(new QLineEdit(this), "edName");
    lbUser = named(new QLabel(QStringLiteral("User :"), this), "lbUser");
    edUser = named(new QLineEdit(this), "edUser");
    lbPass = named(new QLabel(QStringLiteral("Password :"), this), "lbPass");
    edPass = named(new QLineEdit(this), "edPass");
    lbClip = named(new QLabel(QStringLiteral("CLIP (GSM number) : "), this), "lbClip");
    edGsm = named(new QLineEdit(this), "edGsm");
    cbFollow = named(new QCheckBox(QStringLiteral("Follow me function"), this), "cbFollow");
    cbSms = named(new QCheckBox(QStringLiteral("SMS at no answer function"), this), "cbSms");
    sbOk = named(new QPushButton(QStringLiteral("OK"), this), "sbOk");
    sbOk->setDefault(true);
    sbCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "sbCancel");
    connect(sbOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(sbCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    const std::pair<QLabel*, QLineEdit*> rows[] = {
        {lbName, edName}, {lbUser, edUser}, {lbPass, edPass}, {lbClip, edGsm}};
    int row = 0;
    for (const auto& [label, edit] : rows) {
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row++, 1);
    }
    grid->addWidget(cbFollow, row++, 1);
    grid->addWidget(cbSms, row, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sbOk);
    buttons->addWidget(sbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void TfExt::setLabels(const Tlabels& t)
{
    lbName->setText(columnLabel(t, 450, QStringLiteral("Name :")));
    lbUser->setText(columnLabel(t, 451, QStringLiteral("User :")));
    lbPass->setText(columnLabel(t, 452, QStringLiteral("Password :")));
    lbClip->setText(labelOr(t, 400, QStringLiteral("CLIP (GSM number) : ")));
    cbFollow->setText(labelOr(t, 401, QStringLiteral("Follow me function")));
    cbSms->setText(labelOr(t, 402, QStringLiteral("SMS at no answer function")));
    sbCancel->setText(labelOr(t, 90, QStringLiteral("Cancel")));
    setWindowTitle(labelOr(t, 406, QStringLiteral("Add/edit Mobility Extension")));
}
