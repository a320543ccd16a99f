#include "pages/TinCallPrefixForm.h"

#include "pages/GroupsPageUtil.h"
#include "texts/LabelRule.h"
#include "ui/WindowUtil.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

bool prefixEntryKey(QChar typed, const QString& text)
{
    const char16_t c = typed.unicode();
    if (c == u'/' && text.contains(QLatin1Char('/')))
        return false;
    return (c >= u'0' && c <= u'9') || c == 8 || c == 22 || c == 3 || c == u'#' || c == u'+' || c == u'*' || c == u'/';
}

TinCallPrefixForm::TinCallPrefixForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TinCallPrefixForm"));
    setWindowTitle(QStringLiteral("Add to prefixlist"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    lb1 = new QLabel(QStringLiteral("Prefix :"), this);
    lb1->setObjectName(QStringLiteral("lb1"));
    ed1 = new QLineEdit(this);
    ed1->setObjectName(QStringLiteral("ed1"));
    ed1->setMinimumWidth(200);
    sbOk = new QPushButton(QStringLiteral("OK"), this);
    sbOk->setObjectName(QStringLiteral("sbOk"));
    sbOk->setDefault(true);
    sbOk->setEnabled(false);
    sbCancel = new QPushButton(QStringLiteral("Cancel"), this);
    sbCancel->setObjectName(QStringLiteral("sbCancel"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(lb1, 0, 0);
    layout->addWidget(ed1, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sbOk);
    buttons->addWidget(sbCancel);
    layout->addLayout(buttons, 1, 0, 1, 2);

    CharKeyFilter::install(ed1, prefixEntryKey);
    refuseCommas(ed1);
    connect(ed1, &QLineEdit::textChanged, this, [this] { ed1Change(); });
    connect(sbOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(sbCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TinCallPrefixForm::FormShow()
{
    ed1->clear();
    ed1Change();
    ed1->setFocus();
}

void TinCallPrefixForm::ed1Change()
{
    sbOk->setEnabled(ed1->text().contains(QLatin1Char('/')));
}

void TinCallPrefixForm::showEvent(QShowEvent* event)
{
    FormShow();
    centreOnMainWindow(this);
    QDialog::showEvent(event);
}

void TinCallPrefixForm::setLabels(const Tlabels& t)
{
    lb1->setText(labelOr(t, 361, QStringLiteral("Prefix :")));
    sbOk->setText(labelOr(t, 89, QStringLiteral("OK")));
    sbCancel->setText(labelOr(t, 90, QStringLiteral("Cancel")));
    setWindowTitle(labelOr(t, 959, QStringLiteral("Add to prefixlist")));
}
