#include "pages/LcrPage.h"

#include "config/ConfigConversions.h"
#include "config/Parametres.h"
#include "config/WireDate.h"
#include "exchange/TablesExchange.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/ReplyParsers.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/PageState.h"
#include "pages/TableListKeys.h"
#include "pages/TfLcr.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <functional>

namespace {

const QString kLineSettings = QStringLiteral("LCR settings - All parametres\n");
const QString kLineDates = QStringLiteral("System settings - Winter time, summer time\n");
const QString kLineHolidays = QStringLiteral("Basic settings - Holiday list\n");
const QString kLineTable = QStringLiteral("LCR table\n");
const QString kLineNetworkIds = QStringLiteral("Lcr table - Network ID\n");
const QString kNoDate = QStringLiteral("00.00");

constexpr int kTextHolidaysFull = 73;
constexpr int kTextBadDate = 74;
constexpr int kTextTableFull = 77;
constexpr int kTextHolidayCaption = 305;
constexpr int kTextHolidayPrompt = 306;
constexpr int kTextAddCaption = 407;
constexpr int kTextEditCaption = 408;

QPushButton* pageButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// Leaving a date edit: the edit is watched for its focus-out.
class FocusOutWatch : public QObject
{
public:
    FocusOutWatch(QObject* parent, std::function<void()> onLeave) : QObject(parent), onLeave_(std::move(onLeave)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut)
            onLeave_();
        return false;
    }

private:
    std::function<void()> onLeave_;
};

// The two numbers of a "%d.%d" text (both 0 when absent).
void readDayMonth(const QString& text, int& day, int& month)
{
    day = 0;
    month = 0;
    std::sscanf(text.toLatin1().constData(), "%d.%d", &day, &month);
}

QStringList imageNetworkIds()
{
    QStringList ids;
    for (const TNetwork& n : GateConfig.networks)
        ids << n.networkId;
    return ids;
}

} // namespace

void LcrPage::buildLcrPage(QWidget* host)
{
    pLcr = addTopicPage(host, "pLcr", 37);
    registerPage(PageId::Lcr, lcrFrame());
    QWidget* page = pLcr->widget();

    lvLcr = new QTreeWidget(page);
    lvLcr->setObjectName(QStringLiteral("lvLcr"));
    lvLcr->setRootIsDecorated(false);
    lvLcr->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvLcr->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvLcr->setColumnCount(lcCount);
    lvLcr->setHeaderLabels(
        {QStringLiteral("Network"), QStringLiteral("Using time"), QStringLiteral("Groups"), QStringLiteral("Limit")});
    lvLcr->setColumnWidth(lcNetwork, 160);
    lvLcr->setColumnWidth(lcWindow, 160);
    lvLcr->setColumnWidth(lcGroups, 110);

    sbLcrNew = pageButton(page, "sbLcrNew", "New");
    sbLcrEdit = pageButton(page, "sbLcrEdit", "Modify");
    sbLcrRemove = pageButton(page, "sbLcrRemove", "Remove");
    sbLcrRemoveAll = pageButton(page, "sbLcrRemoveAll", "Remove all");
    auto* rowButtons = new QVBoxLayout;
    for (QPushButton* b : {sbLcrNew, sbLcrEdit, sbLcrRemove, sbLcrRemoveAll})
        rowButtons->addWidget(b);
    rowButtons->addStretch();
    auto* table = new QHBoxLayout;
    table->addWidget(lvLcr, 1);
    table->addLayout(rowButtons);

    gbBasic1 = new QGroupBox(QStringLiteral("Holidays list"), page);
    gbBasic1->setObjectName(QStringLiteral("gbBasic1"));
    lbBasicHolidays = new QListWidget(gbBasic1);
    lbBasicHolidays->setObjectName(QStringLiteral("lbBasicHolidays"));
    lbBasicHolidays->setFixedWidth(110);
    lbBasicHolidays->setFixedHeight(150);
    sbBasicAdd = pageButton(gbBasic1, "sbBasicAdd", "Add");
    sbBasicRemove = pageButton(gbBasic1, "sbBasicRemove", "Remove");
    sbBasicRemoveAll = pageButton(gbBasic1, "sbBasicRemoveAll", "Remove all");
    sbLcrDefault = pageButton(gbBasic1, "sbLcrDefault", "Defaults");
    auto* holidayButtons = new QVBoxLayout;
    for (QPushButton* b : {sbBasicAdd, sbBasicRemove, sbBasicRemoveAll, sbLcrDefault})
        holidayButtons->addWidget(b);
    holidayButtons->addStretch();

    lbSystemWinter = new QLabel(QStringLiteral("Date to move to winter time [dd.mm] :"), gbBasic1);
    lbSystemWinter->setObjectName(QStringLiteral("lbSystemWinter"));
    lbSystemSummer = new QLabel(QStringLiteral("Date to move to summer time [dd.mm] :"), gbBasic1);
    lbSystemSummer->setObjectName(QStringLiteral("lbSystemSummer"));
    auto dateEdit = [this](const char* name) {
        auto* edit = new QLineEdit(gbBasic1);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaxLength(5);
        edit->setFixedWidth(60);
        edit->setText(kNoDate);
        OvertypeKeyFilter::install(edit, OvertypeKeyFilter::DayMonth);
        return edit;
    };
    edSystemWinter = dateEdit("edSystemWinter");
    edSystemSummer = dateEdit("edSystemSummer");
    auto* dates = new QGridLayout;
    dates->addWidget(lbSystemWinter, 0, 0);
    dates->addWidget(edSystemWinter, 0, 1);
    dates->addWidget(lbSystemSummer, 1, 0);
    dates->addWidget(edSystemSummer, 1, 1);
    dates->setRowStretch(2, 1);

    auto* holidays = new QHBoxLayout(gbBasic1);
    holidays->addWidget(lbBasicHolidays);
    holidays->addLayout(holidayButtons);
    holidays->addSpacing(24);
    holidays->addLayout(dates);
    holidays->addStretch();

    sbLcrSave = pageButton(page, "sbLcrSave", "Save to gate");
    sbLcrLoad = pageButton(page, "sbLcrLoad", "Load from gate");
    sbLcrDefaultLcr = pageButton(page, "sbLcrDefaultLcr", "Defaults");
    sbLcrSaveFile = pageButton(page, "sbLcrSaveFile", "Save to file");
    addPageButtons(pLcr, {sbLcrSave, sbLcrLoad, sbLcrDefaultLcr, sbLcrSaveFile});

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(table, 1);
    layout->addWidget(gbBasic1);

    auto bind = [](QPushButton* b, auto handler) { QObject::connect(b, &QPushButton::clicked, b, handler); };
    bind(sbLcrLoad, [this] { sbLcrLoadClick(); });
    bind(sbLcrSave, [this] { sbLcrSaveClick(); });
    bind(sbLcrSaveFile, [this] { sbLcrSaveFileClick(); });
    bind(sbLcrDefault, [this] { sbLcrDefaultClick(); });
    bind(sbLcrDefaultLcr, [this] { sbLcrDefaultLcrClick(); });
    bind(sbLcrNew, [this] { sbLcrNewClick(); });
    bind(sbLcrEdit, [this] { sbLcrEditClick(); });
    bind(sbLcrRemove, [this] { sbLcrRemoveClick(); });
    bind(sbLcrRemoveAll, [this] { sbLcrRemoveAllClick(); });
    bind(sbBasicAdd, [this] { sbBasicAddClick(); });
    bind(sbBasicRemove, [this] { sbBasicRemoveClick(); });
    bind(sbBasicRemoveAll, [this] { sbBasicRemoveAllClick(); });
    QObject::connect(lvLcr, &QTreeWidget::itemDoubleClicked, lvLcr, [this] { lvLcrDblClick(); });
    TableListKeys::install(lvLcr, [this] { lvLcrDblClick(); });
    QObject::connect(edSystemWinter, &QLineEdit::textChanged, edSystemWinter, [this] { edSystemWinterChange(); });
    QObject::connect(edSystemSummer, &QLineEdit::textChanged, edSystemSummer, [this] { edSystemSummerChange(); });
    edSystemWinter->installEventFilter(
        new FocusOutWatch(edSystemWinter, [this] { checkDayMonthEdit(edSystemWinter); }));
    edSystemSummer->installEventFilter(
        new FocusOutWatch(edSystemSummer, [this] { checkDayMonthEdit(edSystemSummer); }));

    // Showing the topic puts the network ids of the image into the rows' captions.
    fMain->setTopicSection(37, [this](bool chosen) {
        if (chosen) {
            fMain->showTopicPage(37);
            lcrShowNetworkNames();
        } else {
            pLcr->hide();
        }
        return true;
    });
}

void LcrPage::setLabelsLcr1(const Tlabels& t)
{
    lbSystemWinter->setText(labelOr(t, 245, QStringLiteral("Date to move to winter time [dd.mm] : ")));
    lbSystemSummer->setText(labelOr(t, 244, QStringLiteral("Date to move to summer time [dd.mm] : ")));
}

void LcrPage::setLabelsLcr2(const Tlabels& t)
{
    sbBasicAdd->setText(labelOr(t, 302, QStringLiteral("Add")));
    sbBasicRemove->setText(labelOr(t, 303, QStringLiteral("Remove")));
    sbBasicRemoveAll->setText(labelOr(t, 304, QStringLiteral("Remove all")));
}

void LcrPage::setLabelsLcr3(const Tlabels& t)
{
    gbBasic1->setTitle(labelOr(t, 290, QStringLiteral("Holiday list : ")));
}

void LcrPage::setLabelsLcr4(const Tlabels& t)
{
    sbLcrNew->setText(labelOr(t, 366, QStringLiteral("New")));
    sbLcrEdit->setText(labelOr(t, 367, QStringLiteral("Modify")));
    sbLcrRemove->setText(labelOr(t, 368, QStringLiteral("Remove")));
    sbLcrRemoveAll->setText(labelOr(t, 369, QStringLiteral("Remove all")));
    sbLcrLoad->setText(labelOr(t, 128, QStringLiteral("Load from gate")));
    sbLcrSave->setText(labelOr(t, 127, QStringLiteral("Save to gate")));
    sbLcrSaveFile->setText(labelOr(t, 156, QStringLiteral("Save to file")));
    sbLcrDefault->setText(labelOr(t, 154, QStringLiteral("Defaults")));
    sbLcrDefaultLcr->setText(labelOr(t, 154, QStringLiteral("Defaults")));
}

void LcrPage::setLabelsLcr5(const Tlabels& t)
{
    QTreeWidgetItem* header = lvLcr->headerItem();
    header->setText(lcNetwork, labelOr(t, 370, QStringLiteral("Network")));
    header->setText(lcWindow, labelOr(t, 371, QStringLiteral("Using time")));
    header->setText(lcGroups, labelOr(t, 372, QStringLiteral("Groups")));
    header->setText(lcLimit, labelOr(t, 373, QStringLiteral("Limit")));
}

QString LcrPage::lcrNetworkCaption(const QString& number, const QStringList& ids)
{
    bool ok = false;
    const int n = number.toInt(&ok);
    if (ok && n >= 1 && n <= ids.size())
        return number + QLatin1Char('/') + ids.at(n - 1);
    return number;
}

void LcrPage::addLcrItem(const LcrRow& row, const QStringList& ids)
{
    auto* item = new QTreeWidgetItem(lvLcr);
    item->setText(lcNetwork, lcrNetworkCaption(row.network, ids));
    item->setText(lcWindow, row.window);
    item->setText(lcGroups, row.groups);
    item->setText(lcLimit, row.limit);
}

bool LcrPage::lcrLoad()
{
    // Dates, from "AT&V" (kept by an earlier page of a whole-gateway load).
    QByteArray reply = viewReplyCache.atV;
    if (reply.isEmpty()) {
        if (!ReadView("AT&V\r\n", 1024, kLineSettings, reply, LoadErrors))
            return false;
        viewReplyCache.store(viewReplyCache.atV, reply);
    }
    // Without both dates the edits keep theirs: a save then sends what the page showed, not "0000".
    QString winter;
    QString summer;
    if (parseLcrDates(reply, winter, summer)) {
        edSystemWinter->setText(winter);
        edSystemSummer->setText(summer);
    } else {
        LoadErrors += kLineSettings;
    }

    // Holidays, from "AT&V0".
    reply = viewReplyCache.atV0;
    if (reply.isEmpty()) {
        if (!ReadView("AT&V0\r\n", 1024, kLineSettings, reply, LoadErrors))
            return false;
        viewReplyCache.store(viewReplyCache.atV0, reply);
    }
    std::vector<QString> holidays;
    // A holiday the gateway holds in no form of ours is not shown (it would be saved as another date); the
    // others are. The line is the dates' too: listed once.
    if (!parseHolidays(reply, holidays) && !LoadErrors.contains(kLineSettings))
        LoadErrors += kLineSettings;
    lbBasicHolidays->clear();
    for (const QString& holiday : holidays)
        lbBasicHolidays->addItem(holiday);

    // Network ids, from "AT&Nall" (read whole: it is far longer than one reply buffer). The ids of an earlier
    // load go first: rows and the row dialog must never name a list by another gateway's id.
    networkNames.clear();
    reply = viewReplyCache.atNall;
    bool written = true;
    if (reply.isEmpty()) {
        written = ReadNetworkIds(reply, LoadErrors);
        if (reply.contains("OK"))
            viewReplyCache.store(viewReplyCache.atNall, reply);
    }
    QList<QString> ids;
    if (written && parseNetworkIds(reply, ids))
        networkNames = ids;
    else if (written)
        LoadErrors += kLineNetworkIds; // the rows show their bare list numbers

    // Rows, from the paged listing.
    QByteArray listing;
    if (!PagedListing(PagedTable::Lcr, listing, LoadErrors))
        return false;
    std::vector<LcrRow> rows;
    if (!parseLcrListing(listing, rows, LoadErrors))
        return false;
    lvLcr->clear();
    for (const LcrRow& row : rows)
        addLcrItem(row, networkNames);

    lcrSaveFile();
    return true;
}

bool LcrPage::lcrSave()
{
    bool last = false;
    QByteArray reply;

    if (lcrDatesValid()) {
        last = SendCommand(lcrDatesCommand(edSystemWinter->text(), edSystemSummer->text()), reply, 1024, LoadErrors,
                           kLineDates);
    } else {
        // A partly typed date is never sent: it would reach the gateway as another date.
        LoadErrors += kLineDates;
    }

    std::vector<QString> holidays;
    for (int i = 0; i < lbBasicHolidays->count(); ++i)
        holidays.push_back(lbBasicHolidays->item(i)->text());
    for (const QByteArray& command : holidayCommands(holidays))
        last = SendCommand(command, reply, 1024, LoadErrors, kLineHolidays);

    const int count = lvLcr->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        const QTreeWidgetItem* item = lvLcr->topLevelItem(i);
        const LcrRow row{item->text(lcNetwork).section(QLatin1Char('/'), 0, 0), item->text(lcWindow),
                         item->text(lcGroups), item->text(lcLimit)};
        last = SendTableCommand(lcrRowCommand(i, row), kLineTable, LoadErrors);
    }
    const QByteArray emptying = lcrEmptyingCommand(count);
    if (!emptying.isEmpty())
        last = SendTableCommand(emptying, kLineTable, LoadErrors);
    return last;
}

void LcrPage::lcrSaveFile()
{
    GateConfig.system.winterDate = SpacesToZeros(edSystemWinter->text());
    GateConfig.system.summerDate = SpacesToZeros(edSystemSummer->text());
    std::vector<QString>& holidays = GateConfig.lcr.holidays;
    holidays.clear();
    for (int i = 0; i < lbBasicHolidays->count() && i < kMaxHolidays; ++i)
        holidays.push_back(lbBasicHolidays->item(i)->text());
    std::vector<QString>& rows = GateConfig.lcr.rows;
    rows.clear();
    for (int i = 0; i < lvLcr->topLevelItemCount() && i < kMaxLcrRows; ++i) {
        const QTreeWidgetItem* item = lvLcr->topLevelItem(i);
        rows.push_back(lcrRowToImage({item->text(lcNetwork).section(QLatin1Char('/'), 0, 0), item->text(lcWindow),
                                      item->text(lcGroups), item->text(lcLimit)}));
    }
}

void LcrPage::lcrRowsFromImage()
{
    lvLcr->clear();
    networkNames.clear();
    const QStringList ids = imageNetworkIds();
    for (const QString& text : GateConfig.lcr.rows)
        addLcrItem(lcrRowFromImage(text), ids);
}

void LcrPage::lcrHolidaysFromImage()
{
    edSystemWinter->setText(GateConfig.system.winterDate);
    edSystemSummer->setText(GateConfig.system.summerDate);
    lbBasicHolidays->clear();
    for (size_t i = 0; i < GateConfig.lcr.holidays.size() && int(i) < kMaxHolidays; ++i)
        lbBasicHolidays->addItem(GateConfig.lcr.holidays[i]);
}

void LcrPage::lcrLoadFile()
{
    lcrRowsFromImage();
    lcrHolidaysFromImage();
}

const PageFrame& LcrPage::lcrFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = pcLcr;
        f.defaultMask = gsHolidays;
        f.fileMask = gsLcr | gsHolidays;
        f.fileFailureCaption = kCaptionError;
        f.load = [] { return fMain->lcrLoad(); };
        f.save = [] { return fMain->lcrSave(); };
        f.unreachedLines = kLineSettings + pagedListingLine(PagedTable::Lcr);
        f.saveValid = [] { return fMain->lcrDatesValid(); };
        f.timesValid = [] { return fMain->lcrDatesValid(); };
        f.toImage = [] { fMain->lcrSaveFile(); };
        f.fromImage = [] { fMain->lcrLoadFile(); };
        return f;
    }();
    return frame;
}

const PageFrame& LcrPage::lcrHolidaysFrame()
{
    static const PageFrame frame = [] {
        PageFrame f = lcrFrame();
        // The holidays' Default brings the holidays and the dates; the rows on the page stay as they are.
        f.fromImage = [] { fMain->lcrHolidaysFromImage(); };
        return f;
    }();
    return frame;
}

const PageFrame& LcrPage::lcrTableFrame()
{
    static const PageFrame frame = [] {
        PageFrame f = lcrFrame();
        f.defaultMask = gsLcr;
        f.defaultSetsFlag = false;
        // The table's Default brings the rows; the holidays and dates on the page stay as they are.
        f.fromImage = [] { fMain->lcrRowsFromImage(); };
        return f;
    }();
    return frame;
}

void LcrPage::sbLcrLoadClick()
{
    lcrFrame().loadClick();
}

void LcrPage::sbLcrSaveClick()
{
    lcrFrame().saveClick();
}

void LcrPage::sbLcrSaveFileClick()
{
    lcrFrame().saveFileClick();
}

void LcrPage::sbLcrDefaultClick()
{
    lcrHolidaysFrame().defaultClick();
}

void LcrPage::sbLcrDefaultLcrClick()
{
    lvLcr->clear();
    lcrTableFrame().defaultClick();
}

void LcrPage::sbLcrNewClick()
{
    if (lvLcr->topLevelItemCount() > kMaxLcrRows - 1) {
        MessageBox(labelText(kTextTableFull), labelText(kCaptionError), MB_ICONERROR);
        return;
    }
    fLcr->prepareAdd();
    fLcr->setWindowTitle(labelText(kTextAddCaption));
    ShowModal(fLcr);
}

void LcrPage::sbLcrEditClick()
{
    QTreeWidgetItem* item = lvLcr->currentItem();
    if (!item || !item->isSelected())
        return;
    fLcr->prepareEdit(item->text(lcNetwork), item->text(lcWindow), item->text(lcGroups), item->text(lcLimit));
    fLcr->setWindowTitle(labelText(kTextEditCaption));
    ShowModal(fLcr);
}

void LcrPage::lvLcrDblClick()
{
    sbLcrEditClick();
}

void LcrPage::sbLcrRemoveClick()
{
    QTreeWidgetItem* item = lvLcr->currentItem();
    if (!item || !item->isSelected())
        return;
    pageChanged[pcLcr] = 1;
    const int index = lvLcr->indexOfTopLevelItem(item);
    delete item;
    if (QTreeWidgetItem* next = lvLcr->topLevelItem(index)) {
        lvLcr->setCurrentItem(next);
        next->setSelected(true);
    }
}

void LcrPage::sbLcrRemoveAllClick()
{
    lvLcr->clear();
    pageChanged[pcLcr] = 1;
}

void LcrPage::lcrPutRow(bool add, const QString& caption, const QString& window, const QString& groups,
                        const QString& limit)
{
    QTreeWidgetItem* item = add ? new QTreeWidgetItem(lvLcr) : lvLcr->currentItem();
    if (!item)
        return;
    item->setText(lcNetwork, caption);
    item->setText(lcWindow, window);
    item->setText(lcGroups, groups);
    item->setText(lcLimit, limit);
    pageChanged[pcLcr] = 1;
}

void LcrPage::sbBasicAddClick()
{
    if (lbBasicHolidays->count() >= kMaxHolidays) {
        MessageBox(labelText(kTextHolidaysFull), labelText(kCaptionError), MB_ICONERROR);
        pageChanged[pcLcr] = 1;
        return;
    }
    QString value = kNoDate;
    if (!InputQuery(labelText(kTextHolidayCaption), labelText(kTextHolidayPrompt), value))
        return;
    int day = 0;
    int month = 0;
    readDayMonth(value, day, month);
    // The save sends the day and month it reads itself ("+1.5" has none, "1.1 5" has a digit after a blank): a
    // holiday it would send as another date than the one typed is refused like one outside the calendar.
    int sentDay = 0;
    int sentMonth = 0;
    const bool sentAsTyped = holidayNumbers(value, sentDay, sentMonth) && sentDay == day && sentMonth == month;
    if (!sentAsTyped || day < 1 || day > 31 || month < 1 || month > 12) {
        MessageBox(labelText(kTextBadDate), labelText(kCaptionError), MB_ICONERROR);
        return;
    }
    if (value != kNoDate)
        lbBasicHolidays->addItem(value);
    pageChanged[pcLcr] = 1;
}

void LcrPage::sbBasicRemoveClick()
{
    const int row = lbBasicHolidays->currentRow();
    if (row < 0 || !lbBasicHolidays->item(row)->isSelected())
        return;
    delete lbBasicHolidays->takeItem(row);
    pageChanged[pcLcr] = 1;
    if (lbBasicHolidays->count() > 0)
        lbBasicHolidays->setCurrentRow(row > 0 ? row - 1 : 0);
}

void LcrPage::sbBasicRemoveAllClick()
{
    lbBasicHolidays->clear();
    pageChanged[pcLcr] = 1;
}

namespace {

void markRed(QWidget* edit, bool red)
{
    QPalette p = edit->palette();
    if (red)
        p.setColor(QPalette::Base, Qt::red);
    edit->setPalette(red ? p : QPalette());
}

} // namespace

void LcrPage::checkDayMonthEdit(QLineEdit* edit)
{
    const QString digits = dayMonthToDigits(edit->text());
    const int month = digits.mid(kWireDateMonthAt, 2).toInt();
    const int day = digits.mid(kWireDateDayAt, 2).toInt();
    if ((day == 0) != (month == 0))
        markRed(edit, true);
}

void LcrPage::edSystemWinterChange()
{
    pageChanged[pcLcr] = 1;
    markRed(edSystemWinter, false);
}

void LcrPage::edSystemSummerChange()
{
    pageChanged[pcLcr] = 1;
    markRed(edSystemSummer, false);
}

bool LcrPage::lcrDatesValid()
{
    // As for the typed times (TimeEditComplete): only a date a person typed in part is held back. A date the
    // program set (gateway, gate file, defaults) that nobody has edited since goes on as it stands.
    bool valid = true;
    for (QLineEdit* edit : {edSystemWinter, edSystemSummer}) {
        if (TypedByPerson(edit) && !isWholeDayMonth(edit->text())) {
            markRed(edit, true);
            valid = false;
        }
    }
    return valid;
}

void LcrPage::lcrShowNetworkNames()
{
    for (int i = 0; i < lvLcr->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvLcr->topLevelItem(i);
        const QString caption = item->text(lcNetwork);
        for (int n = 1; n <= 8; ++n) {
            if (caption.startsWith(QChar(u'0' + n)))
                item->setText(lcNetwork,
                              QString::number(n) + QLatin1Char('/') + GateConfig.networks[size_t(n - 1)].networkId);
        }
    }
}
