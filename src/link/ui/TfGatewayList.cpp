#include "link/ui/TfGatewayList.h"

#include "link/GatewayList.h"
#include "link/ui/ConnectionPart.h"
#include "link/ui/TfNewGateway.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/TfMain.h"
#include "ui/WindowUtil.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void listWriteFailed()
{
    MessageBox(QStringLiteral("Unable to write to %1").arg(gatewayListPath()), labelText(47), MB_ICONERROR);
}

} // namespace

TfGatewayList::TfGatewayList(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfGatewayList"));
    lbGateways = named(new QListWidget(this), "lbGateways");
    auto* column = new QVBoxLayout;
    auto button = [&](QPushButton*& b, const char* name, void (TfGatewayList::*handler)()) {
        b = named(new QPushButton(this), name);
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        column->addWidget(b);
    };
    button(sbNew, "sbNew", &TfGatewayList::sbNewClick);
    button(sbEdit, "sbEdit", &TfGatewayList::sbEditClick);
    button(sbRemove, "sbRemove", &TfGatewayList::sbRemoveClick);
    button(sbRemoveAll, "sbRemoveAll", &TfGatewayList::sbRemoveAllClick);
    column->addSpacing(12);
    button(sbSelect, "sbSelect", &TfGatewayList::sbSelectClick);
    button(sbConnect, "sbConnect", &TfGatewayList::sbConnectClick);
    column->addStretch();
    button(sbQuit, "sbQuit", &TfGatewayList::sbQuitClick);
    connect(lbGateways, &QListWidget::itemDoubleClicked, this, [this] { sbSelectClick(); });

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lbGateways, 1);
    layout->addLayout(column);
    resize(420, 300);
    setLabels({});
}

void TfGatewayList::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TfGatewayList::FormShow()
{
    lbGateways->clear();
    lbGateways->addItems(GatewayNames());
    const QList<QListWidgetItem*> current = lbGateways->findItems(CurrentGateway.Name, Qt::MatchFixedString);
    if (!current.isEmpty())
        lbGateways->setCurrentItem(current.first());
    else if (lbGateways->count() > 0)
        lbGateways->setCurrentRow(0);
}

QString TfGatewayList::selectedName() const
{
    const QListWidgetItem* item = lbGateways->currentItem();
    return item ? item->text() : QString();
}

bool TfGatewayList::editEntry(const QString& oldName)
{
    GatewayEntry entry;
    if (oldName.isEmpty()) {
        entry.Name.clear();
        entry.Port = 1001;
    } else if (!ReadGatewayEntry(oldName, entry)) {
        return false;
    }
    QStringList taken = GatewayNames();
    for (qsizetype i = taken.size() - 1; i >= 0; --i) {
        if (!oldName.isEmpty() && taken.at(i).compare(oldName, Qt::CaseInsensitive) == 0)
            taken.removeAt(i);
    }
    fNewGateway->prepare(entry, taken);
    if (ShowModal(fNewGateway) != QDialog::Accepted)
        return false;
    const GatewayEntry edited = fNewGateway->entry();
    if (!WriteGatewayEntry(edited, oldName)) {
        listWriteFailed();
        return false;
    }
    // The current gateway's own entry changed: it takes the new address and names at once.
    if (!oldName.isEmpty() && CurrentGateway.Name.compare(oldName, Qt::CaseInsensitive) == 0)
        CurrentGateway = edited;
    FormShow();
    const QList<QListWidgetItem*> found = lbGateways->findItems(edited.Name, Qt::MatchFixedString);
    if (!found.isEmpty())
        lbGateways->setCurrentItem(found.first());
    return true;
}

void TfGatewayList::sbNewClick()
{
    editEntry(QString());
}

void TfGatewayList::sbEditClick()
{
    const QString name = selectedName();
    if (!name.isEmpty())
        editEntry(name);
}

void TfGatewayList::sbRemoveClick()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    const int row = lbGateways->currentRow();
    if (!RemoveGatewayEntry(name))
        listWriteFailed();
    FormShow();
    lbGateways->setCurrentRow(qMin(row, lbGateways->count() - 1));
}

void TfGatewayList::sbRemoveAllClick()
{
    if (!RemoveAllGatewayEntries())
        listWriteFailed();
    FormShow();
}

void TfGatewayList::sbSelectClick()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    CurrentGateway = SelectGateway(name, CurrentGateway);
    close();
}

void TfGatewayList::sbConnectClick()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    CurrentGateway = SelectGateway(name, CurrentGateway);
    close();
    if (fMain)
        fMain->mConnectClick();
}

void TfGatewayList::sbQuitClick()
{
    close();
}

void TfGatewayList::done(int result)
{
    QDialog::done(result);
    enableMainWindow();
}

void TfGatewayList::setLabels(const Tlabels& t)
{
    sbNew->setText(labelOr(t, 91, QStringLiteral("New")));
    sbEdit->setText(labelOr(t, 92, QStringLiteral("Edit")));
    sbRemove->setText(labelOr(t, 93, QStringLiteral("Remove")));
    sbRemoveAll->setText(labelOr(t, 94, QStringLiteral("Remove all")));
    sbSelect->setText(labelOr(t, 95, QStringLiteral("Select")));
    sbConnect->setText(labelOr(t, 96, QStringLiteral("Connect")));
    setWindowTitle(labelOr(t, 97, QStringLiteral("Gateway list")));
    sbQuit->setText(labelOr(t, 90, QStringLiteral("Cancel")));
}
