#include "pages/TfNet.h"

#include "config/Parametres.h"
#include "config/TableRows.h"
#include "exchange/NetworkExchange.h"
#include "pages/EntryFilters.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

constexpr int kTextCannotAdd = 76;
constexpr int kCaptionError = 47;

std::vector<QString>& targetEntries(int target)
{
    if (target == 3)
        return GateConfig.briPrefixChanges;
    TNetwork& r = networkWork[size_t(qBound(0, fMain->tcNet->currentIndex(), 7))];
    return target == 1 ? r.replacedPrefixes : r.prefixes;
}

QListWidget* targetBox(int target)
{
    return target == 1 ? fMain->lbNetRep : target == 2 ? fMain->lbNetPref : fMain->lbNetPri;
}

bool boxHolds(const QListWidget* box, const QString& entry)
{
    for (int i = 0; i < box->count(); ++i)
        if (box->item(i)->text() == entry)
            return true;
    return false;
}

} // namespace

TfNet::TfNet(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfNet"));
    setWindowTitle(QStringLiteral("Add prefix"));

    lb1 = new QLabel(QStringLiteral("Prefix : "), this);
    lb1->setObjectName(QStringLiteral("lb1"));
    ed1 = new QLineEdit(this);
    ed1->setObjectName(QStringLiteral("ed1"));
    ed1->setMaxLength(kNetworkPartLength);
    lb2 = new QLabel(this);
    lb2->setObjectName(QStringLiteral("lb2"));
    ed2 = new QLineEdit(this);
    ed2->setObjectName(QStringLiteral("ed2"));
    ed2->setMaxLength(kNetworkPartLength);
    lbHelp = new QLabel(QStringLiteral("Only 0123456789+*# characters are allowed"), this);
    lbHelp->setObjectName(QStringLiteral("lbHelp"));
    QPalette red = lbHelp->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lbHelp->setPalette(red);
    sbOk = new QPushButton(QStringLiteral("OK"), this);
    sbOk->setObjectName(QStringLiteral("sbOk"));
    sbOk->setDefault(true);
    sbCancel = new QPushButton(QStringLiteral("Cancel"), this);
    sbCancel->setObjectName(QStringLiteral("sbCancel"));

    auto* fields = new QGridLayout;
    fields->addWidget(lb1, 0, 0);
    fields->addWidget(ed1, 1, 0);
    fields->addWidget(lb2, 0, 1);
    fields->addWidget(ed2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sbOk);
    buttons->addWidget(sbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(lbHelp);
    layout->addLayout(buttons);
    setMinimumWidth(340);

    EntryKeyFilter::install(ed1, kDialChars);
    ed2Filter_ = EntryKeyFilter::install(ed2, kDialChars);
    installCommaGuard(ed1);
    installCommaGuard(ed2);

    connect(ed1, &QLineEdit::textChanged, this, [this] { ed1Change(); });
    connect(ed2, &QLineEdit::textChanged, this, [this] { ed2Change(); });
    connect(sbOk, &QPushButton::clicked, this, [this] { sbOkClick(); });
    connect(sbCancel, &QPushButton::clicked, this, [this] { sbCancelClick(); });
}

int TfNet::openEntry(int target, bool edit, const QString& first, const QString& second,
                     const QString& secondLabel, const QString& caption)
{
    targetList = target;
    editing = edit;
    // The second part of a prefix entry is digits only; the replacements take "#", "+" and "*" too.
    ed2Filter_->setAllowed(target == 2 ? kDigitChars : kDialChars);
    ed1->setText(first);
    ed2->setText(second);
    lb2->setText(secondLabel);
    setWindowTitle(caption);
    return ShowModal(this);
}

void TfNet::setLabels(const Tlabels& t)
{
    lb1->setText(labelOr(t, 361, QStringLiteral("Prefix : ")));
    lbHelp->setText(labelOr(t, 364, QStringLiteral("Only 0123456789+*# characters are allowed")));
    sbCancel->setText(labelOr(t, 90, QStringLiteral("Cancel")));
    setWindowTitle(labelOr(t, 365, QStringLiteral("Add prefix")));
}

void TfNet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TfNet::FormActivate()
{
    sbOk->setEnabled(editing);
    ed1->setFocus();
}

void TfNet::ed1Change()
{
    sbOk->setEnabled(!ed1->text().isEmpty() || !ed2->text().isEmpty());
}

void TfNet::ed2Change()
{
    if (targetList == 1)
        sbOk->setEnabled(!ed1->text().isEmpty() || !ed2->text().isEmpty());
}

void TfNet::sbOkClick()
{
    const QString a = ed1->text();
    const QString b = ed2->text();
    if (targetList < 1 || targetList > 3) {
        pageChanged[pcNetwork] = 1;
        accept();
        return;
    }
    const QString entry = targetList == 2 && b.isEmpty() ? a : a + QLatin1Char('/') + b;
    QListWidget* box = targetBox(targetList);
    std::vector<QString>& list = targetEntries(targetList);
    const int row = box->currentRow();
    const bool duplicate = boxHolds(box, entry);

    if (editing) {
        const bool refused = targetList == 2 && duplicate;
        if (!refused && row >= 0 && row < box->count() && size_t(row) < list.size()) {
            box->item(row)->setText(entry);
            list[size_t(row)] = entry;
        }
    } else if (!duplicate) {
        if (targetList == 2 && int(list.size()) >= kMaxNetworkPrefixes) {
            // The gateway's keys hold 28 prefixes per list; a 29th could never be sent.
            MessageBox(labelText(kTextCannotAdd), labelText(kCaptionError), MB_ICONERROR);
        } else if (targetList == 1) {
            box->insertItem(0, entry);
            list.insert(list.begin(), entry);
            box->setCurrentRow(0);
        } else {
            box->addItem(entry);
            list.push_back(entry);
        }
    }
    pageChanged[pcNetwork] = 1;
    accept();
}

void TfNet::sbCancelClick()
{
    reject();
}
