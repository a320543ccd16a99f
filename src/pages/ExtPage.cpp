#include "pages/ExtPage.h"

#include "config/Parametres.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/PageState.h"
#include "texts/LabelRule.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollArea>
#include <QStringList>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kSwitchRole = Qt::UserRole; // the switch of a column, as a bool

// The shown word of a switch column: on/off texts of the current language.
QString switchText(int column, bool on)
{
    if (column == ExtPage::ecRegistered)
        return labelText(on ? 453 : 454);
    return labelText(on ? 404 : 405);
}

} // namespace

void ExtPage::buildExtPage(QWidget* host)
{
    pExt = addTopicPage(host, "pExt", 0);
    registerPage(PageId::Extension, extFrame());
    QWidget* page = pExt->widget();

    lvExt = new QTreeWidget(page);
    lvExt->setObjectName(QStringLiteral("lvExt"));
    lvExt->setRootIsDecorated(false);
    lvExt->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvExt->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvExt->setColumnCount(ecCount);
    lvExt->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("User"), QStringLiteral("Pass"),
                            QStringLiteral("CLIP (GSM number)"), QStringLiteral("\"Follow me\" function"),
                            QStringLiteral("\"SMS at no answer\" function"), QStringLiteral("Registered")});

    // The page's own buttons do nothing: the page is never shown.
    auto* buttons = new QVBoxLayout;
    const struct
    {
        QPushButton** button;
        const char* name;
        const char* caption;
    } kButtons[] = {{&sbExtNew, "sbExtNew", "New"},
                    {&sbExtEdit, "sbExtEdit", "Modify"},
                    {&sbExtRemove, "sbExtRemove", "Remove"},
                    {&sbExtRemoveAll, "sbExtRemoveAll", "Remove all"},
                    {&sbExtLoad, "sbExtLoad", "Load from gate"},
                    {&sbExtSave, "sbExtSave", "Save to gate"},
                    {&sbExtSaveFile, "sbExtSaveFile", "Save to file"}};
    for (const auto& b : kButtons) {
        *b.button = new QPushButton(QString::fromLatin1(b.caption), page);
        (*b.button)->setObjectName(QString::fromLatin1(b.name));
        buttons->addWidget(*b.button);
    }
    buttons->addStretch();

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(lvExt, 1);
    layout->addLayout(buttons);
}

void ExtPage::setLabelsExt1(const Tlabels& t)
{
    sbExtNew->setText(labelOr(t, 366, QStringLiteral("New")));
    sbExtEdit->setText(labelOr(t, 367, QStringLiteral("Modify")));
    sbExtRemove->setText(labelOr(t, 368, QStringLiteral("Remove")));
    sbExtRemoveAll->setText(labelOr(t, 369, QStringLiteral("Remove all")));
    sbExtLoad->setText(labelOr(t, 128, QStringLiteral("Load from gate")));
    sbExtSave->setText(labelOr(t, 127, QStringLiteral("Save to gate")));
    sbExtSaveFile->setText(labelOr(t, 156, QStringLiteral("Save to file")));
}

void ExtPage::setLabelsExt2(const Tlabels& t)
{
    QTreeWidgetItem* header = lvExt->headerItem();
    header->setText(ecName, labelOr(t, 450, QStringLiteral("Name")));
    header->setText(ecUser, labelOr(t, 451, QStringLiteral("User")));
    header->setText(ecPassword, labelOr(t, 452, QStringLiteral("Heslo")));
    header->setText(ecGsm, labelOr(t, 379, QStringLiteral("CLIP (GSM number)")));
    header->setText(ecFollow, labelOr(t, 380, QStringLiteral("Follow me function")));
    header->setText(ecSms, labelOr(t, 381, QStringLiteral("SMS at no answer function")));
    header->setText(ecRegistered, labelOr(t, 453, QStringLiteral("Registered")));
}

void ExtPage::extSaveFile()
{
    std::vector<QString>& rows = GateConfig.extensions.rows;
    rows.clear();
    for (int r = 0; r < lvExt->topLevelItemCount(); ++r) {
        const QTreeWidgetItem* item = lvExt->topLevelItem(r);
        QStringList fields;
        for (int c = ecName; c <= ecGsm; ++c)
            fields << item->text(c);
        for (int c = ecFollow; c <= ecRegistered; ++c)
            fields << QString::number(item->data(c, kSwitchRole).toBool() ? 1 : 0);
        rows.push_back(fields.join(QLatin1Char(',')));
    }
}

const PageFrame& ExtPage::extFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = pcExtension;
        f.fileMask = gsExtension;
        f.toImage = [] { fMain->extSaveFile(); };
        f.fromImage = [] { fMain->extLoadFile(); };
        return f;
    }();
    return frame;
}

void ExtPage::extLoadFile()
{
    lvExt->clear();
    for (const QString& row : GateConfig.extensions.rows) {
        const QStringList fields = row.split(QLatin1Char(','));
        auto* item = new QTreeWidgetItem(lvExt);
        for (int c = ecName; c <= ecGsm; ++c)
            item->setText(c, fields.value(c));
        for (int c = ecFollow; c <= ecRegistered; ++c) {
            const bool on = fields.value(c).trimmed() == QLatin1String("1");
            item->setData(c, kSwitchRole, on);
            item->setText(c, switchText(c, on));
        }
    }
    extRowCount = lvExt->topLevelItemCount();
}
