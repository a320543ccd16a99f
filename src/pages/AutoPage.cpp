#include "pages/AutoPage.h"

#include "config/Parametres.h"
#include "exchange/TablesExchange.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/PageState.h"
#include "pages/TableListKeys.h"
#include "pages/TfAuto.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kLetterRole = Qt::UserRole; // the service letter of the type column, as a QChar
constexpr int kTextTableFull = 77;
const QString kLineTable = QStringLiteral("Autorouting table\n");

QPushButton* pageButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

void fillItem(QTreeWidgetItem* item, const AutoRow& row)
{
    item->setText(AutoPage::acClip, row.clip);
    item->setText(AutoPage::acNumber, row.number);
    item->setText(AutoPage::acLimit, row.limit);
    item->setText(AutoPage::acType, autoServiceName(row.letter, QStringLiteral("Dial")));
    item->setData(AutoPage::acType, kLetterRole, row.letter);
}

} // namespace

QString autoServiceName(QChar letter, const QString& fallback)
{
    const int text = autoServiceText(letter);
    return text < 0 ? fallback : labelText(text);
}

void AutoPage::buildAutoPage(QWidget* host)
{
    pAuto = addTopicPage(host, "pAuto", 38);
    registerPage(PageId::Auto, autoFrame());
    QWidget* page = pAuto->widget();

    lvAuto = new QTreeWidget(page);
    lvAuto->setObjectName(QStringLiteral("lvAuto"));
    lvAuto->setRootIsDecorated(false);
    lvAuto->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvAuto->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvAuto->setColumnCount(acCount);
    lvAuto->setHeaderLabels({QStringLiteral("GSM number (CLIP)"), QStringLiteral("Dial (to VoIP)"),
                             QStringLiteral("Limit"), QStringLiteral("Autorouting type")});
    lvAuto->setColumnWidth(acClip, 180);
    lvAuto->setColumnWidth(acNumber, 150);
    lvAuto->setColumnWidth(acLimit, 70);

    sbAutoNew = pageButton(page, "sbAutoNew", "New");
    sbAutoEdit = pageButton(page, "sbAutoEdit", "Modify");
    sbAutoRemove = pageButton(page, "sbAutoRemove", "Remove");
    sbAutoRemoveAll = pageButton(page, "sbAutoRemoveAll", "Remove all");
    auto* rowButtons = new QVBoxLayout;
    for (QPushButton* b : {sbAutoNew, sbAutoEdit, sbAutoRemove, sbAutoRemoveAll})
        rowButtons->addWidget(b);
    rowButtons->addStretch();
    auto* table = new QHBoxLayout;
    table->addWidget(lvAuto, 1);
    table->addLayout(rowButtons);

    sbAutoSave = pageButton(page, "sbAutoSave", "Save to gate");
    sbAutoLoad = pageButton(page, "sbAutoLoad", "Load from gate");
    sbAutoSaveFile = pageButton(page, "sbAutoSaveFile", "Save to file");
    addPageButtons(pAuto, {sbAutoSave, sbAutoLoad, sbAutoSaveFile});

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(table, 1);

    auto bind = [](QPushButton* b, auto handler) { QObject::connect(b, &QPushButton::clicked, b, handler); };
    bind(sbAutoLoad, [this] { sbAutoLoadClick(); });
    bind(sbAutoSave, [this] { sbAutoSaveClick(); });
    bind(sbAutoSaveFile, [this] { sbAutoSaveFileClick(); });
    bind(sbAutoNew, [this] { sbAutoNewClick(); });
    bind(sbAutoEdit, [this] { sbAutoEditClick(); });
    bind(sbAutoRemove, [this] { sbAutoRemoveClick(); });
    bind(sbAutoRemoveAll, [this] { sbAutoRemoveAllClick(); });
    QObject::connect(lvAuto, &QTreeWidget::itemDoubleClicked, lvAuto, [this] { lvAutoDblClick(); });
    TableListKeys::install(lvAuto, [this] { lvAutoDblClick(); });
}

void AutoPage::setLabelsAuto1(const Tlabels& t)
{
    sbAutoNew->setText(labelOr(t, 366, QStringLiteral("New")));
    sbAutoEdit->setText(labelOr(t, 367, QStringLiteral("Modify")));
    sbAutoRemove->setText(labelOr(t, 368, QStringLiteral("Remove")));
    sbAutoRemoveAll->setText(labelOr(t, 369, QStringLiteral("Remove all")));
    sbAutoLoad->setText(labelOr(t, 128, QStringLiteral("Load from gate")));
    sbAutoSave->setText(labelOr(t, 127, QStringLiteral("Save to gate")));
    sbAutoSaveFile->setText(labelOr(t, 156, QStringLiteral("Save to file")));
}

void AutoPage::setLabelsAuto2(const Tlabels& t)
{
    QTreeWidgetItem* header = lvAuto->headerItem();
    header->setText(acClip, labelOr(t, 374, QStringLiteral("GSM number (CLIP)")));
    header->setText(acNumber, labelOr(t, 375, QStringLiteral("Dial (to VoIP)")));
    header->setText(acLimit, labelOr(t, 376, QStringLiteral("Limit")));
    header->setText(acType, labelOr(t, 377, QStringLiteral("Autorouting type")));
}

void AutoPage::setLabelsAuto3(const Tlabels& t)
{
    for (int i = 0; i < lvAuto->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvAuto->topLevelItem(i);
        const int text = autoServiceText(item->data(acType, kLetterRole).toChar());
        if (text >= 0)
            item->setText(acType, labelAt(t, text));
    }
}

AutoRow AutoPage::autoRowAt(int index) const
{
    const QTreeWidgetItem* item = lvAuto->topLevelItem(index);
    if (!item)
        return {};
    return {item->text(acClip), item->text(acNumber), item->text(acLimit), item->data(acType, kLetterRole).toChar()};
}

bool AutoPage::autoLoad()
{
    QByteArray listing;
    if (!PagedListing(PagedTable::Autorouting, listing, LoadErrors))
        return false;
    std::vector<AutoRow> rows;
    if (!parseAutoListing(listing, rows, LoadErrors))
        return false;
    lvAuto->clear();
    for (const AutoRow& row : rows)
        fillItem(new QTreeWidgetItem(lvAuto), row);
    autoSaveFile();
    return true;
}

bool AutoPage::autoSave()
{
    bool last = false;
    const int count = lvAuto->topLevelItemCount();
    for (int i = 0; i < count; ++i)
        last = SendTableCommand(autoRowCommand(i, autoRowAt(i)), kLineTable, LoadErrors);
    const QByteArray emptying = autoEmptyingCommand(count);
    if (!emptying.isEmpty())
        last = SendTableCommand(emptying, kLineTable, LoadErrors);
    return last;
}

void AutoPage::autoSaveFile()
{
    std::vector<QString>& rows = GateConfig.autorouting.rows;
    rows.clear();
    for (int i = 0; i < lvAuto->topLevelItemCount() && i < kMaxAutoRows; ++i)
        rows.push_back(autoRowToImage(autoRowAt(i)));
}

void AutoPage::autoLoadFile()
{
    lvAuto->clear();
    for (const QString& text : GateConfig.autorouting.rows)
        fillItem(new QTreeWidgetItem(lvAuto), autoRowFromImage(text));
}

const PageFrame& AutoPage::autoFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = pcAuto;
        f.defaultMask = gsAutorouting;
        f.fileMask = gsAutorouting;
        f.fileFailureCaption = kCaptionError;
        f.load = [] { return fMain->autoLoad(); };
        f.save = [] { return fMain->autoSave(); };
        f.unreachedLines = pagedListingLine(PagedTable::Autorouting);
        f.toImage = [] { fMain->autoSaveFile(); };
        f.fromImage = [] { fMain->autoLoadFile(); };
        return f;
    }();
    return frame;
}

void AutoPage::sbAutoLoadClick()
{
    autoFrame().loadClick();
}

void AutoPage::sbAutoSaveClick()
{
    autoFrame().saveClick();
}

void AutoPage::sbAutoSaveFileClick()
{
    autoFrame().saveFileClick();
}

void AutoPage::sbAutoNewClick()
{
    if (lvAuto->topLevelItemCount() >= kMaxAutoRows) {
        MessageBox(labelText(kTextTableFull), labelText(kCaptionError), MB_ICONERROR);
        return;
    }
    fAuto->prepareAdd();
    ShowModal(fAuto);
}

void AutoPage::sbAutoEditClick()
{
    QTreeWidgetItem* item = lvAuto->currentItem();
    if (!item || !item->isSelected())
        return;
    fAuto->prepareEdit(autoRowAt(lvAuto->indexOfTopLevelItem(item)));
    ShowModal(fAuto);
}

void AutoPage::lvAutoDblClick()
{
    sbAutoEditClick();
}

void AutoPage::sbAutoRemoveClick()
{
    QTreeWidgetItem* item = lvAuto->currentItem();
    if (!item || !item->isSelected())
        return;
    pageChanged[pcAuto] = 1;
    const int index = lvAuto->indexOfTopLevelItem(item);
    delete item;
    if (QTreeWidgetItem* next = lvAuto->topLevelItem(index)) {
        lvAuto->setCurrentItem(next);
        next->setSelected(true);
    }
}

void AutoPage::sbAutoRemoveAllClick()
{
    lvAuto->clear();
    pageChanged[pcAuto] = 1;
}

void AutoPage::autoPutRow(bool add, const AutoRow& row)
{
    QTreeWidgetItem* item = add ? new QTreeWidgetItem(lvAuto) : lvAuto->currentItem();
    if (!item)
        return;
    fillItem(item, row);
    pageChanged[pcAuto] = 1;
}
