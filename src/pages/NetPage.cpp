// The network lists page: controls, handlers, the model layout, the label steps, the copies to and from the
// image and the exchanges with the gateway.
#include "pages/NetPage.h"

#include "config/Parametres.h"
#include "exchange/NetworkExchange.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/ui/ConnectionPart.h"
#include "pages/EntryFilters.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/PageState.h"
#include "pages/TfNet.h"
#include "platform/Dialogs.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/TfLoad.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

constexpr qsizetype kReplySize = 1024;
constexpr int kListCommands = 9;
constexpr int kTextSaving = 112;
constexpr int kTextAddEntry = 365;
constexpr int kTextEditEntry = 482;
constexpr int kTextReplacement = 362;
constexpr int kTextSecondPart = 363;

template <typename W> W* place(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = 130)
{
    auto* b = place<QPushButton>(parent, name, x, y, w, 27);
    b->setText(caption);
    return b;
}

// A group with its list box and its four buttons beside it.
QGroupBox* listGroup(QWidget* parent, const char* name, const QString& caption, QListWidget*& list,
                     const char* listName, QPushButton* buttons[4], const char* const buttonNames[4])
{
    auto* g = new QGroupBox(caption, parent);
    g->setObjectName(QString::fromLatin1(name));
    list = new QListWidget(g);
    list->setObjectName(QString::fromLatin1(listName));
    const QString captions[4] = {QStringLiteral("Add"), QStringLiteral("Edit"), QStringLiteral("Remove"),
                                 QStringLiteral("Remove all")};
    auto* column = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        buttons[i] = new QPushButton(captions[i], g);
        buttons[i]->setObjectName(QString::fromLatin1(buttonNames[i]));
        column->addWidget(buttons[i]);
    }
    column->addStretch();
    auto* layout = new QHBoxLayout(g);
    layout->addWidget(list, 1);
    layout->addLayout(column);
    return g;
}

void markNetChanged()
{
    pageChanged[pcNetwork] = 1;
}

TNetwork& shownRecord()
{
    return networkWork[size_t(qBound(0, fMain->tcNet->currentIndex(), 7))];
}

void fillBox(QListWidget* box, const std::vector<QString>& entries)
{
    box->clear();
    for (const QString& e : entries)
        box->addItem(e);
}

// Removes the selected entry from box and list and selects the one before it (or the first).
bool removeSelected(QListWidget* box, std::vector<QString>& list)
{
    const int row = box->currentRow();
    if (row < 0)
        return false;
    delete box->takeItem(row);
    if (size_t(row) < list.size())
        list.erase(list.begin() + row);
    if (box->count() > 0)
        box->setCurrentRow(row > 0 ? row - 1 : 0);
    return true;
}

// The common send step of the saves: a failed item adds its line once and the run goes on.
bool sendNetworkCommand(const NetworkCommand& c)
{
    bool ok = !c.line.isEmpty();
    if (ok) {
        if (fLoad)
            fLoad->SetStatus(QString::fromLatin1(c.line));
        ReplyReading reading;
        reading.size = kReplySize;
        const ExchangeResult e = Exchange(c.line, 10, reading);
        ok = e.written && e.reply.contains("OK");
    }
    if (!ok && !LoadErrors.contains(c.itemLine))
        LoadErrors += c.itemLine;
    return ok;
}

void stepBar()
{
    if (fLoad)
        fLoad->pb1->setValue(fLoad->pb1->value() + 1);
    ProcessMessages();
}

bool barAtStart()
{
    return fLoad && fLoad->pb1->value() == 0;
}

} // namespace

const PageFrame& NetPage::netFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = pcNetwork;
        f.defaultMask = gsNetwork;
        f.fileMask = gsNetwork;
        f.fileFailureCaption = kCaptionError;
        f.load = [] { return fMain->networkLoad(); };
        f.save = [] { return fMain->networkSave(); };
        f.unreachedLines = netlines::kBri + netlines::kAll;
        f.toImage = [] { fMain->netSaveFile(); };
        f.fromImage = [] {
            fMain->netLoadFile();
            fMain->tcNetChange();
        };
        return f;
    }();
    return frame;
}

void NetPage::buildNetPage(QWidget* host)
{
    pNet = addTopicPage(host, "pNet", 36);
    registerPage(PageId::Network, netFrame());
    QWidget* page = pNet->widget();
    // The page fits the page area of the main window at its start size; its buttons stand where every
    // page's buttons stand.
    page->setMinimumSize(740, 546);

    tcNet = place<QTabBar>(page, "tcNet", 8, 4, 736, 30);
    for (int n = 1; n <= 8; ++n)
        tcNet->addTab(QStringLiteral("Network list ") + QString::number(n));
    tcNet->setExpanding(false);
    tcNet->setUsesScrollButtons(true);

    auto* body = place<QWidget>(page, "netBody", 8, 38, 736, 508);
    QPushButton* rep[4];
    const char* const repNames[4] = {"sbNetRepAdd", "sbNetRepEdit", "sbNetRepRemove", "sbNetRepRemoveAll"};
    gbNet1 =
        listGroup(body, "gbNet1", QStringLiteral("Table of replaced prefixes :"), lbNetRep, "lbNetRep", rep, repNames);
    sbNetRepAdd = rep[0];
    sbNetRepEdit = rep[1];
    sbNetRepRemove = rep[2];
    sbNetRepRemoveAll = rep[3];
    lbNetRep->addItem(QStringLiteral("/"));

    QPushButton* pref[4];
    const char* const prefNames[4] = {"sbNetPrefAdd", "sbNetPrefEdit", "sbNetPrefRemove", "sbNetPrefRemoveAll"};
    gbNet2 = listGroup(body, "gbNet2", QStringLiteral("Table of prefixes :"), lbNetPref, "lbNetPref", pref, prefNames);
    sbNetPrefAdd = pref[0];
    sbNetPrefEdit = pref[1];
    sbNetPrefRemove = pref[2];
    sbNetPrefRemoveAll = pref[3];
    for (int d = 0; d <= 9; ++d)
        lbNetPref->addItem(QString::number(d));

    QPushButton* pri[4];
    const char* const priNames[4] = {"sbNetPriAdd", "sbNetPriEdit", "sbNetPriRemove", "sbNetPriRemoveAll"};
    gbNet3 = listGroup(body, "gbNet3", QStringLiteral("Prefix change for call from BRI 1 to BRI 2"), lbNetPri,
                       "lbNetPri", pri, priNames);
    sbNetPriAdd = pri[0];
    sbNetPriEdit = pri[1];
    sbNetPriRemove = pri[2];
    sbNetPriRemoveAll = pri[3];

    lbNetId = new QLabel(QStringLiteral("Network ID : "), body);
    lbNetId->setObjectName(QStringLiteral("lbNetId"));
    edNetNetid = new QLineEdit(body);
    edNetNetid->setObjectName(QStringLiteral("edNetNetid"));
    edNetNetid->setMaxLength(5);
    edNetNetid->setFixedWidth(80);
    installCommaGuard(edNetNetid);
    lbNetDefault = new QLabel(QStringLiteral("Default number of digits : "), body);
    lbNetDefault->setObjectName(QStringLiteral("lbNetDefault"));
    seNetDefault = new QSpinBox(body);
    seNetDefault->setObjectName(QStringLiteral("seNetDefault"));
    seNetDefault->setRange(0, 20);
    seNetDefault->setFixedWidth(60);
    DigitKeyFilter::install(seNetDefault);
    {
        auto* grid = new QGridLayout(body);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->addWidget(gbNet1, 0, 0);
        grid->addWidget(gbNet2, 0, 1);
        auto* fields = new QGridLayout;
        fields->addWidget(lbNetId, 0, 0);
        fields->addWidget(edNetNetid, 0, 1);
        fields->addWidget(lbNetDefault, 1, 0);
        fields->addWidget(seNetDefault, 1, 1);
        fields->setColumnStretch(2, 1);
        grid->addLayout(fields, 1, 0, 1, 2);
        grid->addWidget(gbNet3, 2, 0, 1, 2);
        grid->setRowStretch(0, 3);
        grid->setRowStretch(2, 2);
    }

    sbNetSave = button(page, "sbNetSave", QStringLiteral("Save to gate"), 8, 553);
    sbNetLoad = button(page, "sbNetLoad", QStringLiteral("Load from gate"), 146, 553);
    sbNetDefault = button(page, "sbNetDefault", QStringLiteral("Defaults"), 284, 553);
    sbNetSaveFile = button(page, "sbNetSaveFile", QStringLiteral("Save to file"), 422, 553);
    sbNetSaveActual = button(page, "sbNetSaveActual", QStringLiteral("Save actual list to gateway"), 560, 553, 184);
    addPageButtons(pNet, {sbNetSave, sbNetLoad, sbNetDefault, sbNetSaveFile, sbNetSaveActual});

    QObject::connect(tcNet, &QTabBar::currentChanged, tcNet, [this] { tcNetChange(); });
    QObject::connect(edNetNetid, &QLineEdit::textChanged, edNetNetid, [this] { edNetNetidChange(); });
    QObject::connect(seNetDefault, &QSpinBox::valueChanged, seNetDefault, [this] { seNetDefaultChange(); });
    const std::pair<QPushButton*, void (NetPage::*)()> clicks[] = {
        {sbNetRepAdd, &NetPage::sbNetRepAddClick},
        {sbNetRepEdit, &NetPage::sbNetRepEditClick},
        {sbNetRepRemove, &NetPage::sbNetRepRemoveClick},
        {sbNetRepRemoveAll, &NetPage::sbNetRepRemoveAllClick},
        {sbNetPrefAdd, &NetPage::sbNetPrefAddClick},
        {sbNetPrefEdit, &NetPage::sbNetPrefEditClick},
        {sbNetPrefRemove, &NetPage::sbNetPrefRemoveClick},
        {sbNetPrefRemoveAll, &NetPage::sbNetPrefRemoveAllClick},
        {sbNetPriAdd, &NetPage::sbNetPriAddClick},
        {sbNetPriEdit, &NetPage::sbNetPriEditClick},
        {sbNetPriRemove, &NetPage::sbNetPriRemoveClick},
        {sbNetPriRemoveAll, &NetPage::sbNetPriRemoveAllClick},
        {sbNetSave, &NetPage::sbNetSaveClick},
        {sbNetLoad, &NetPage::sbNetLoadClick},
        {sbNetDefault, &NetPage::sbNetDefaultClick},
        {sbNetSaveFile, &NetPage::sbNetSaveFileClick},
        {sbNetSaveActual, &NetPage::sbNetSaveActualClick},
    };
    for (const auto& [b, handler] : clicks)
        QObject::connect(b, &QPushButton::clicked, b, [this, handler = handler] { (this->*handler)(); });
    // A double-click on a list edits its entry.
    QObject::connect(lbNetRep, &QListWidget::itemDoubleClicked, lbNetRep, [this] { sbNetRepEditClick(); });
    QObject::connect(lbNetPref, &QListWidget::itemDoubleClicked, lbNetPref, [this] { sbNetPrefEditClick(); });
    QObject::connect(lbNetPri, &QListWidget::itemDoubleClicked, lbNetPri, [this] { sbNetPriEditClick(); });

    fMain->addModelLayoutStep([this](int model) { setModelLayoutNet(model); });
}

void NetPage::setModelLayoutNet(int model)
{
    gbNet3->setVisible(model == 0);
}

// ---- Label steps

void NetPage::setLabelsNet1(const Tlabels& t)
{
    sbNetSave->setText(labelOr(t, 127, QStringLiteral("Save to gate")));
    sbNetSaveActual->setText(labelOr(t, 926, QStringLiteral("Save to gate")));
    sbNetLoad->setText(labelOr(t, 128, QStringLiteral("Load from gate")));
    sbNetDefault->setText(labelOr(t, 154, QStringLiteral("Defaults")));
    sbNetSaveFile->setText(labelOr(t, 156, QStringLiteral("Save to file")));
}

void NetPage::setLabelsNet2(const Tlabels& t)
{
    for (QPushButton* b : {sbNetPrefEdit, sbNetRepEdit, sbNetPriEdit})
        b->setText(labelOr(t, 92, QStringLiteral("Edit")));
    const QString list = labelOr(t, 356, QStringLiteral("Network list"));
    for (int n = 1; n <= 8; ++n)
        tcNet->setTabText(n - 1, list + QLatin1Char(' ') + QString::number(n));
    gbNet1->setTitle(labelOr(t, 357, QStringLiteral("Table of replaced prefixes :")));
    gbNet2->setTitle(labelOr(t, 358, QStringLiteral("Table of prefixes :")));
    lbNetId->setText(labelOr(t, 359, QStringLiteral("Network ID : ")));
    lbNetDefault->setText(labelOr(t, 360, QStringLiteral("Default number of digits : ")));
    const QString add = labelOr(t, 302, QStringLiteral("Add"));
    const QString remove = labelOr(t, 303, QStringLiteral("Remove"));
    const QString removeAll = labelOr(t, 304, QStringLiteral("Remove all"));
    sbNetRepAdd->setText(add);
    sbNetRepRemove->setText(remove);
    sbNetRepRemoveAll->setText(removeAll);
    sbNetPrefAdd->setText(add);
    sbNetPrefRemove->setText(remove);
    sbNetPrefRemoveAll->setText(removeAll);
    gbNet3->setTitle(labelOr(t, 646, QStringLiteral("Prefix change for call from BRI 1 to BRI 2")));
    sbNetPriAdd->setText(add);
    sbNetPriRemove->setText(remove);
    sbNetPriRemoveAll->setText(removeAll);
}

// ---- Shown record

void NetPage::tcNetChange()
{
    const TNetwork& r = shownRecord();
    fillBox(lbNetPref, r.prefixes);
    fillBox(lbNetRep, r.replacedPrefixes);
    edNetNetid->setText(r.networkId);
    seNetDefault->setValue(shownRecord().defaultDigits);
    fillBox(lbNetPri, GateConfig.briPrefixChanges);
}

void NetPage::edNetNetidChange()
{
    const size_t i = size_t(qBound(0, tcNet->currentIndex(), 7));
    networkWork[i].networkId = edNetNetid->text();
    GateConfig.networks[i].networkId = edNetNetid->text(); // the LCR dialog names the networks by it
    markNetChanged();
}

void NetPage::seNetDefaultChange()
{
    shownRecord().defaultDigits = seNetDefault->value();
    markNetChanged();
}

void NetPage::netSaveFile()
{
    GateConfig.networks = networkWork;
}

void NetPage::netLoadFile()
{
    networkWork = GateConfig.networks;
}

// ---- Gateway

bool NetPage::networkLoad()
{
    if (fLoad)
        fLoad->SetStatus(QStringLiteral("AT&&VI"));
    QByteArray reply;
    bool ok = SendCommand(QByteArrayLiteral("AT&VI\r\n"), reply, 4096, LoadErrors, netlines::kBri);
    GateConfig.briPrefixChanges = parseBriPrefixChanges(reply, LoadErrors);

    if (fLoad)
        fLoad->SetStatus(QStringLiteral("AT&&Nall"));
    WaitPumping(networkListingWaitMs);
    bool written = false;
    const QByteArray listing = exchangeNetworkListing(QByteArrayLiteral("AT&Nall\r\n"), written);
    if (!written) {
        LoadErrors += netlines::kAll;
        return false;
    }
    if (!listing.contains("OK")) {
        LoadErrors += netlines::kAll;
        return false;
    }
    viewReplyCache.store(viewReplyCache.atNall, listing);
    ok &= parseNetworkLists(listing, networkWork, LoadErrors);
    tcNetChange();
    netSaveFile();
    return ok;
}

bool NetPage::networkSave()
{
    const bool moveBar = barAtStart();
    bool ok = sendNetworkCommand(briPrefixCommand(GateConfig.briPrefixChanges));
    for (int i = 0; i < 8; ++i)
        ok &= networkSaveList(i, moveBar);
    return ok;
}

bool NetPage::networkSave(int i)
{
    return networkSaveList(i, barAtStart());
}

bool NetPage::networkSaveList(int i, bool moveBar)
{
    if (i < 0 || i > 7)
        return false;
    bool ok = true;
    for (const NetworkCommand& c : networkListCommands(networkWork[size_t(i)], i + 1)) {
        ok &= sendNetworkCommand(c);
        if (moveBar)
            stepBar();
    }
    return ok;
}

// ---- Buttons

void NetPage::runNetworkSave(int list)
{
    const GatewayRunScope run;
    if (!connectForPageRun())
        return;
    fLoad->pb1->setRange(0, list < 0 ? 8 * kListCommands : kListCommands);
    fLoad->pb1->setValue(0);
    fLoad->setWindowTitle(labelOr(labelTexts, kTextSaving, QStringLiteral("Saving parametres...")));
    centreOnMainWindow(fLoad);
    fLoad->show();
    fLoad->activateWindow();
    fMain->setEnabled(false);
    progressShown = true;
    LoadErrors.clear();
    if (list < 0)
        networkSave();
    else
        networkSave(list);
    progressShown = false;
    fMain->setEnabled(true);
    fMain->activateWindow();
    fLoad->hide();
    showSaveResult();
}

void NetPage::sbNetSaveClick()
{
    runNetworkSave(-1);
}

void NetPage::sbNetSaveActualClick()
{
    runNetworkSave(qBound(0, tcNet->currentIndex(), 7));
}

void NetPage::sbNetLoadClick()
{
    netFrame().loadClick();
}

void NetPage::sbNetDefaultClick()
{
    netFrame().defaultClick();
}

void NetPage::sbNetSaveFileClick()
{
    netFrame().saveFileClick();
}

// ---- Lists

void NetPage::openNetEntry(int target, bool editing)
{
    QListWidget* box = target == 1 ? lbNetRep : target == 2 ? lbNetPref : lbNetPri;
    QString first;
    QString second;
    if (editing) {
        if (box->currentRow() < 0)
            return;
        const QString entry = box->currentItem()->text();
        const qsizetype slash = entry.indexOf(QLatin1Char('/'));
        first = slash < 0 ? entry : entry.left(slash);
        second = slash < 0 ? QString() : entry.mid(slash + 1);
    }
    fNet->openEntry(target, editing, first, second,
                    labelAt(labelTexts, target == 2 ? kTextSecondPart : kTextReplacement),
                    labelAt(labelTexts, editing ? kTextEditEntry : kTextAddEntry));
    markNetChanged(); // whatever the dialog did
}

void NetPage::sbNetRepAddClick()
{
    openNetEntry(1, false);
}

void NetPage::sbNetPrefAddClick()
{
    openNetEntry(2, false);
}

void NetPage::sbNetPriAddClick()
{
    openNetEntry(3, false);
}

void NetPage::sbNetRepEditClick()
{
    openNetEntry(1, true);
}

void NetPage::sbNetPrefEditClick()
{
    openNetEntry(2, true);
}

void NetPage::sbNetPriEditClick()
{
    openNetEntry(3, true);
}

void NetPage::sbNetRepRemoveClick()
{
    std::vector<QString>& list = shownRecord().replacedPrefixes;
    if (lbNetRep->count() == 1 && lbNetRep->item(0)->text() == QLatin1String("/"))
        return; // the table keeps its "/" entry
    if (!removeSelected(lbNetRep, list))
        return;
    if (lbNetRep->count() == 0) {
        lbNetRep->addItem(QStringLiteral("/"));
        list.assign(1, QStringLiteral("/"));
    }
    markNetChanged();
}

void NetPage::sbNetPrefRemoveClick()
{
    if (removeSelected(lbNetPref, shownRecord().prefixes))
        markNetChanged();
}

void NetPage::sbNetPriRemoveClick()
{
    if (removeSelected(lbNetPri, GateConfig.briPrefixChanges))
        markNetChanged();
}

void NetPage::sbNetRepRemoveAllClick()
{
    lbNetRep->clear();
    lbNetRep->addItem(QStringLiteral("/"));
    shownRecord().replacedPrefixes.assign(1, QStringLiteral("/"));
    markNetChanged();
}

void NetPage::sbNetPrefRemoveAllClick()
{
    const bool had = lbNetPref->count() > 0;
    lbNetPref->clear();
    shownRecord().prefixes.clear();
    if (had)
        markNetChanged();
}

void NetPage::sbNetPriRemoveAllClick()
{
    const bool had = lbNetPri->count() > 0;
    lbNetPri->clear();
    GateConfig.briPrefixChanges.clear();
    if (had)
        markNetChanged();
}
