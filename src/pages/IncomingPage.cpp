// The GSM incoming groups page: its controls, the handlers that keep the shown record up to date, the tab
// change, the two lists and the label steps. The exchanges with the gateway and the buttons are in
// IncomingPageGateway.cpp.
#include "pages/IncomingPage.h"

#include "config/Parametres.h"
#include "exchange/GroupsExchange.h"
#include "pages/GroupsPageUtil.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/TinCallPrefixForm.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

constexpr int kTextCannotAdd = 76;
constexpr int kTextListFull = 957;
constexpr int kCaptionErrorText = 47;
constexpr int kTextModeHelp = 457; // 457..464: the help of modes 0..7

void markIncomingChanged()
{
    pageChanged[pcIncoming] = 1;
}

using namespace groupsPage;

// A list with its Add, Remove and Remove all buttons beside it.
QHBoxLayout* listWithButtons(QListWidget* list, QPushButton* add, QPushButton* remove, QPushButton* removeAll)
{
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(2);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(removeAll);
    buttons->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(list, 1);
    row->addLayout(buttons);
    return row;
}

TIncoming& shownRecord(int tab)
{
    return incomingWork[size_t(tab == 1 ? 1 : 0)];
}

} // namespace

int IncomingPage::shownIncoming() const
{
    return tcIncoming->currentIndex() == 1 ? 1 : 0;
}

void IncomingPage::buildIncomingPage(QWidget* host)
{
    pIncoming = addTopicPage(host, "pIncoming", 35);
    registerPage(PageId::Incoming, incomingFrame());
    if (fMain) {
        // Shown, the page runs its mode handler again for the mode it shows.
        fMain->setTopicSection(35, [this](bool chosen) {
            if (!chosen) {
                pIncoming->hide();
                return true;
            }
            fMain->showTopicPage(35);
            rerunModeHandler();
            return true;
        });
    }
    QWidget* page = pIncoming->widget();

    tcIncoming = named(new QTabBar(page), "tcIncoming");
    tcIncoming->addTab(QStringLiteral("GSM Group 1"));
    tcIncoming->addTab(QStringLiteral("GSM Group 2"));
    tcIncoming->setExpanding(false);
    cbInSame = named(new QCheckBox(QStringLiteral("Same settings as GSM module 1"), page), "cbInSame");
    cbInSame->hide();

    gbIn1 = group(page, "gbIn1", QStringLiteral("Mode :"));
    lbInMode = label(gbIn1, "lbInMode", QStringLiteral("Mode :"));
    cbInMode = named(new QComboBox(gbIn1), "cbInMode");
    cbInMode->addItems({QStringLiteral("Reject incoming calls"), QStringLiteral("Ignore incoming calls"),
                        QStringLiteral("Accept incoming calls + voice message"),
                        QStringLiteral("Accept incoming calls + dialtone"),
                        QStringLiteral("After ring, call back/refuse"), QStringLiteral("After ring, call back/ignore"),
                        QStringLiteral("Report to PC + voice message"), QStringLiteral("Report to PC + dialtone")});
    cbInMode->setCurrentIndex(0);
    cbInMode->setFixedHeight(kRowHeight);
    cbInMode->setMinimumWidth(150);
    lbInHelp = label(gbIn1, "lbInHelp", QString());
    lbInHelp->setWordWrap(true);
    lbInHelp->setMinimumHeight(2 * lbInHelp->fontMetrics().lineSpacing());
    lbInHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    {
        QGridLayout* g = grid(gbIn1);
        g->addWidget(lbInMode, 0, 0);
        g->addWidget(cbInMode, 0, 1);
        g->addWidget(lbInHelp, 1, 0, 1, 2);
        g->setColumnStretch(1, 1);
    }

    gbIn2 = group(page, "gbIn2", QStringLiteral("DTMF digits :"));
    lbInMin = label(gbIn2, "lbInMin", QStringLiteral("Min digits in DTMF : "));
    seInMin = spin(gbIn2, "seInMin", 0, 20, 3);
    lbInMax = label(gbIn2, "lbInMax", QStringLiteral("Max digits in DTMF : "));
    seInMax = spin(gbIn2, "seInMax", 0, 20, 3);
    lbInTour = label(gbIn2, "lbInTour", QStringLiteral("Tour for enterign DTMF digits [s] :  "));
    seInTour = spin(gbIn2, "seInTour", 0, 20, 10);
    cbInDeniedDtfm =
        named(new QCheckBox(QStringLiteral("Disabled DTMF for all incoming calls"), gbIn2), "cbInDeniedDtfm");
    cbInRouteDtmf = named(new QCheckBox(QString(), gbIn2), "cbInRouteDtmf");
    {
        QGridLayout* g = grid(gbIn2);
        g->addWidget(lbInMin, 0, 0);
        g->addWidget(seInMin, 0, 1);
        g->addWidget(lbInMax, 1, 0);
        g->addWidget(seInMax, 1, 1);
        g->addWidget(lbInTour, 2, 0);
        g->addWidget(seInTour, 2, 1);
        g->addWidget(cbInDeniedDtfm, 3, 0, 1, 2);
        g->addWidget(cbInRouteDtmf, 4, 0, 1, 2);
        g->setColumnStretch(0, 1);
    }

    gbIn3 = group(page, "gbIn3", QStringLiteral("Dynamic CLIP routing settings :"));
    lbInTime = label(gbIn3, "lbInTime", QStringLiteral("Time to keep clip in table [hours] :"));
    seInTime = spin(gbIn3, "seInTime", 0, 240, 0);
    Label44 = label(gbIn3, "Label44", QStringLiteral("(0=off)"));
    cbInAdd = named(new QCheckBox(QStringLiteral("Add record only for unconnected call"), gbIn3), "cbInAdd");
    cbInDelete = named(new QCheckBox(QStringLiteral("Delete record for connected answer"), gbIn3), "cbInDelete");
    {
        QGridLayout* g = grid(gbIn3);
        g->addWidget(lbInTime, 0, 0);
        g->addWidget(seInTime, 0, 1);
        g->addWidget(Label44, 0, 2);
        g->addWidget(cbInAdd, 1, 0, 1, 3);
        g->addWidget(cbInDelete, 2, 0, 1, 3);
        g->setColumnStretch(0, 1);
    }

    GroupBox6 = group(page, "GroupBox6", QString());
    lbInDay = label(GroupBox6, "lbInDay", QStringLiteral("Day of deleting incoming stats : "));
    seInDay = spin(GroupBox6, "seInDay", 0, 31, 1);
    Label42 = label(GroupBox6, "Label42", QStringLiteral("(0=off)"));
    {
        QGridLayout* g = grid(GroupBox6);
        g->addWidget(lbInDay, 0, 0);
        g->addWidget(seInDay, 0, 1);
        g->addWidget(Label42, 0, 2);
        g->setColumnStretch(0, 1);
    }

    GroupBox9 = group(page, "GroupBox9", QString());
    lbInPrefix = label(GroupBox9, "lbInPrefix", QStringLiteral("Prefix before DISA : "));
    edInPrefix = edit(GroupBox9, "edInPrefix", 15, 130);
    {
        QGridLayout* g = grid(GroupBox9);
        g->addWidget(lbInPrefix, 0, 0);
        g->addWidget(edInPrefix, 0, 1);
        g->setColumnStretch(0, 1);
    }

    GroupBox8 = group(page, "GroupBox8", QString());
    lbInClip = label(GroupBox8, "lbInClip", QStringLiteral("Clip : "));
    edInClip = edit(GroupBox8, "edInClip", 7, 80);
    mInClipConv = helpMemo(GroupBox8, "mInClipConv");
    {
        QGridLayout* g = grid(GroupBox8);
        g->addWidget(lbInClip, 0, 0);
        g->addWidget(edInClip, 0, 1);
        g->addWidget(mInClipConv, 1, 0, 1, 3);
        g->setColumnStretch(2, 1);
    }

    GroupBox10 = group(page, "GroupBox10", QString());
    lbInSeparator = label(GroupBox10, "lbInSeparator", QStringLiteral("Clip to VoIP separator :"));
    seInSeparator = spin(GroupBox10, "seInSeparator", 0, 99, 0);
    {
        QGridLayout* g = grid(GroupBox10);
        g->addWidget(lbInSeparator, 0, 0);
        g->addWidget(seInSeparator, 0, 1);
        g->setColumnStretch(0, 1);
    }

    groupBox7 = group(page, "groupBox7", QStringLiteral("Incoming CDN from CLIP :"));
    lbInSep = label(groupBox7, "lbInSep", QStringLiteral("CDN recognition in clip (Separating char) :"));
    edInSep = edit(groupBox7, "edInSep", 1, 28);
    lbInPrefixConv =
        label(groupBox7, "lbInPrefixConv", QStringLiteral("Prefix conversion of incoming CDN from CLIP :"));
    lbInPrefixConv->setWordWrap(true);
    edInPrefixConv = edit(groupBox7, "edInPrefixConv", 15, 130);
    mInPrefixConv = helpMemo(groupBox7, "mInPrefixConv");
    {
        QGridLayout* g = grid(groupBox7);
        g->addWidget(lbInSep, 0, 0);
        g->addWidget(edInSep, 0, 1);
        g->addWidget(lbInPrefixConv, 1, 0);
        g->addWidget(edInPrefixConv, 1, 1);
        g->addWidget(mInPrefixConv, 2, 0, 1, 2);
        g->setColumnStretch(0, 1);
    }

    lbInNumbers = label(page, "lbInNumbers", QStringLiteral("List of called numbers :"));
    lbInCalled = named(new QListWidget(page), "lbInCalled");
    sbInAdd = pageRowButton(page, "sbInAdd", QStringLiteral("Add"));
    sbInRemove = pageRowButton(page, "sbInRemove", QStringLiteral("Remove"));
    sbInRemoveAll = pageRowButton(page, "sbInRemoveAll", QStringLiteral("Remove all"));

    gbInPref = group(page, "gbInPref", QStringLiteral("CLIP conversion from GSM calls"));
    lbIn198PrefixList = named(new QListWidget(gbInPref), "lbIn198PrefixList");
    sbInPrefAdd = pageRowButton(gbInPref, "sbInPrefAdd", QStringLiteral("Add"));
    sbInPrefRemove = pageRowButton(gbInPref, "sbInPrefRemove", QStringLiteral("Remove"));
    sbInPrefRemoveAll = pageRowButton(gbInPref, "sbInPrefRemoveAll", QStringLiteral("Remove all"));
    {
        auto* v = new QVBoxLayout(gbInPref);
        v->setContentsMargins(6, 2, 6, 3);
        v->addLayout(listWithButtons(lbIn198PrefixList, sbInPrefAdd, sbInPrefRemove, sbInPrefRemoveAll));
    }
    for (QListWidget* list : {lbInCalled, lbIn198PrefixList}) {
        list->setMinimumSize(80, 56);
        list->setMaximumHeight(90);
    }
    for (QPushButton* b : {sbInAdd, sbInRemove, sbInRemoveAll, sbInPrefAdd, sbInPrefRemove, sbInPrefRemoveAll})
        b->setFixedHeight(24);

    sbInSave = pageRowButton(page, "sbInSave", QStringLiteral("Save to gate"));
    sbInLoad = pageRowButton(page, "sbInLoad", QStringLiteral("Load from gate"));
    sbInDefault = pageRowButton(page, "sbInDefault", QStringLiteral("Defaults"));
    sbInSaveFile = pageRowButton(page, "sbInSaveFile", QStringLiteral("Save to file"));

    QVBoxLayout* left = column({gbIn1, gbIn2, gbIn3, GroupBox6, GroupBox9});
    left->addWidget(lbInNumbers);
    left->addLayout(listWithButtons(lbInCalled, sbInAdd, sbInRemove, sbInRemoveAll));
    layOutTabbedColumns(page, tcIncoming, cbInSame, left, column({GroupBox8, GroupBox10, groupBox7, gbInPref}));
    addPageButtons(pIncoming, {sbInSave, sbInLoad, sbInDefault, sbInSaveFile});

    // The texts that travel inside a comma-separated value take no ",".
    for (QLineEdit* e : {edInPrefix, edInClip, edInSep})
        refuseCommas(e);

    QObject::connect(tcIncoming, &QTabBar::currentChanged, tcIncoming, [this] { tcIncomingChange(); });
    QObject::connect(cbInSame, &QCheckBox::toggled, cbInSame, [this] { cbInSameClick(); });
    QObject::connect(cbInMode, &QComboBox::activated, cbInMode, [this] { cbInModeChange(); });
    QObject::connect(seInMin, &QSpinBox::valueChanged, seInMin, [this](int v) {
        shownRecord(shownIncoming()).minDigits = v;
        markIncomingChanged();
        if (!incomingFilling_ && v > seInMax->value())
            seInMax->setValue(v);
    });
    QObject::connect(seInMax, &QSpinBox::valueChanged, seInMax, [this](int v) {
        shownRecord(shownIncoming()).maxDigits = v;
        markIncomingChanged();
        if (!incomingFilling_ && v < seInMin->value())
            seInMin->setValue(v);
    });
    QObject::connect(seInTour, &QSpinBox::valueChanged, seInTour, [this](int v) {
        shownRecord(shownIncoming()).dtmfTour = v;
        markIncomingChanged();
    });
    QObject::connect(seInDay, &QSpinBox::valueChanged, seInDay, [this](int v) {
        shownRecord(shownIncoming()).statsDay = v;
        markIncomingChanged();
    });
    QObject::connect(seInTime, &QSpinBox::valueChanged, seInTime, [](int v) {
        for (TIncoming& r : incomingWork)
            r.clipKeepHours = v;
        markIncomingChanged();
    });
    QObject::connect(seInSeparator, &QSpinBox::valueChanged, seInSeparator, [this] { seInSeparatorChange(); });
    QObject::connect(edInPrefix, &QLineEdit::textChanged, edInPrefix, [this](const QString& text) {
        shownRecord(shownIncoming()).disaPrefix = text;
        markIncomingChanged();
    });
    QObject::connect(edInClip, &QLineEdit::textChanged, edInClip, [this](const QString& text) {
        shownRecord(shownIncoming()).clip = text;
        markIncomingChanged();
    });
    QObject::connect(edInSep, &QLineEdit::textChanged, edInSep, [this] { edInSepChange(); });
    QObject::connect(edInPrefixConv, &QLineEdit::textChanged, edInPrefixConv, [](const QString& text) {
        for (TIncoming& r : incomingWork)
            r.cdnPrefixConversion = text;
        markIncomingChanged();
    });
    const struct
    {
        QCheckBox* box;
        bool TIncoming::*field;
    } switches[] = {{cbInAdd, &TIncoming::addUnconnectedOnly},
                    {cbInDelete, &TIncoming::deleteOnAnswer},
                    {cbInRouteDtmf, &TIncoming::routeFailedDtmf},
                    {cbInDeniedDtfm, &TIncoming::dtmfDisabled}};
    for (const auto& s : switches)
        QObject::connect(s.box, &QCheckBox::toggled, s.box, [s](bool on) {
            for (TIncoming& r : incomingWork)
                r.*s.field = on;
            markIncomingChanged();
        });

    QObject::connect(sbInAdd, &QPushButton::clicked, sbInAdd, [this] { sbInAddClick(); });
    QObject::connect(sbInRemove, &QPushButton::clicked, sbInRemove, [this] { sbInRemoveClick(); });
    QObject::connect(sbInRemoveAll, &QPushButton::clicked, sbInRemoveAll, [this] { sbInRemoveAllClick(); });
    QObject::connect(sbInPrefAdd, &QPushButton::clicked, sbInPrefAdd, [this] { sbInPrefAddClick(); });
    QObject::connect(sbInPrefRemove, &QPushButton::clicked, sbInPrefRemove, [this] { sbInPrefRemoveClick(); });
    QObject::connect(sbInPrefRemoveAll, &QPushButton::clicked, sbInPrefRemoveAll, [this] { sbInPrefRemoveAllClick(); });
    QObject::connect(sbInLoad, &QPushButton::clicked, sbInLoad, [this] { sbInLoadClick(); });
    QObject::connect(sbInSave, &QPushButton::clicked, sbInSave, [this] { sbInSaveClick(); });
    QObject::connect(sbInDefault, &QPushButton::clicked, sbInDefault, [this] { sbInDefaultClick(); });
    QObject::connect(sbInSaveFile, &QPushButton::clicked, sbInSaveFile, [this] { sbInSaveFileClick(); });
}

// ---- Handlers

void IncomingPage::showModeHelp()
{
    const int mode = cbInMode->currentIndex();
    lbInHelp->setText(mode >= 0 ? labelText(kTextModeHelp + mode) : QString());
}

void IncomingPage::cbInModeChange()
{
    shownRecord(shownIncoming()).mode = cbInMode->currentIndex();
    showModeHelp();
    markIncomingChanged();
}

void IncomingPage::rerunModeHandler()
{
    // Nothing on the page changes by it, so the page does not count as changed. A list that shows no mode
    // (the record holds one past its items) leaves the record's mode as it is.
    const auto changed = pageChanged[pcIncoming];
    if (cbInMode->currentIndex() >= 0)
        cbInModeChange();
    else
        showModeHelp();
    pageChanged[pcIncoming] = changed;
}

void IncomingPage::seInSeparatorChange()
{
    shownRecord(shownIncoming()).voiceLoop = seInSeparator->value();
    markIncomingChanged();
}

void IncomingPage::edInSepChange()
{
    markIncomingChanged();
    const QString text = edInSep->text();
    shownRecord(shownIncoming()).cdnSeparator = text.isEmpty() ? QChar() : text.at(0);
}

void IncomingPage::incomingEnableControls(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             lbInMode, cbInMode,      lbInHelp,      lbInCalled, sbInAdd,    sbInRemove, sbInRemoveAll, lbInMin,
             seInMin,  lbInMax,       seInMax,       seInTour,   lbInTour,   lbInTime,   seInTime,      Label44,
             cbInAdd,  cbInDelete,    lbInDay,       Label42,    seInDay,    lbInSep,    edInSep,       lbInClip,
             edInClip, lbInSeparator, seInSeparator, lbInPrefix, edInPrefix, lbInNumbers})
        w->setEnabled(enabled);
}

void IncomingPage::tcIncomingChange()
{
    const int t = shownIncoming();
    cbInSame->setVisible(t == 1);
    if (t == 1)
        applyInSame();
    else
        incomingEnableControls(true);

    // A copy: the controls' handlers write the record while it is being shown.
    const TIncoming r = incomingWork[size_t(t)];
    incomingFilling_ = true;
    cbInMode->setCurrentIndex(r.mode);
    seInMin->setValue(r.minDigits);
    seInMax->setValue(r.maxDigits);
    seInTour->setValue(r.dtmfTour);
    seInDay->setValue(r.statsDay);
    edInPrefix->setText(r.disaPrefix);
    edInClip->setText(r.clip);
    seInTime->setValue(r.clipKeepHours);
    cbInAdd->setChecked(r.addUnconnectedOnly);
    cbInDelete->setChecked(r.deleteOnAnswer);
    cbInRouteDtmf->setChecked(r.routeFailedDtmf);
    cbInDeniedDtfm->setChecked(r.dtmfDisabled);
    seInSeparator->setValue(r.voiceLoop);
    edInSep->setText(r.cdnSeparator.isNull() ? QString() : QString(r.cdnSeparator));
    edInPrefixConv->setText(r.cdnPrefixConversion);
    lbInCalled->clear();
    for (const QString& number : r.calledNumbers)
        lbInCalled->addItem(number);
    incomingFilling_ = false;
    // What the spin edits could not show (a value past their range) stays in the record as it came.
    incomingWork[size_t(t)].minDigits = r.minDigits;
    incomingWork[size_t(t)].maxDigits = r.maxDigits;

    fillIn198PrefixList(clipConversionEntries(incomingWork[0].clipConversions));
    showModeHelp();
    // Showing a record counts as an edit, also when no control's value changed.
    markIncomingChanged();
}

void IncomingPage::applyInSame()
{
    applySameSettings(
        cbInSame, incomingWork, [this](bool on) { incomingEnableControls(on); }, [this] { incomingSaveFile(); });
}

void IncomingPage::cbInSameClick()
{
    applyInSame();
    tcIncomingChange();
}

// ---- Called numbers of the shown group

void IncomingPage::sbInAddClick()
{
    QString value;
    if (!InputQuery(labelText(347), labelText(346), value) || value.isEmpty())
        return;
    // The number's leading digits must give more than 0 ("0" and "abc" do not).
    qsizetype digits = 0;
    while (digits < value.size() && value.at(digits).isDigit() && value.at(digits).unicode() < 128)
        ++digits;
    const bool number = value.left(digits).toLongLong() > 0;
    // A "," would split the number in two on the wire; and one command carries the whole list.
    TIncoming& r = shownRecord(shownIncoming());
    std::vector<QString> numbers = r.calledNumbers;
    numbers.push_back(value);
    if (!number || !fitsInValueList(value) || calledNumbersList(numbers).size() > kMaxCalledList) {
        MessageBox(labelText(kTextCannotAdd), labelText(kCaptionErrorText), MB_ICONERROR);
        return;
    }
    r.calledNumbers = numbers;
    lbInCalled->addItem(value);
    markIncomingChanged();
}

void IncomingPage::sbInRemoveClick()
{
    const int row = lbInCalled->currentRow();
    if (row < 0 || !lbInCalled->currentItem()->isSelected())
        return;
    std::vector<QString>& numbers = shownRecord(shownIncoming()).calledNumbers;
    if (row < int(numbers.size()))
        numbers.erase(numbers.begin() + row);
    delete lbInCalled->takeItem(row);
    markIncomingChanged();
    if (lbInCalled->count() > 0)
        lbInCalled->setCurrentRow(row > 0 ? row - 1 : 0);
}

void IncomingPage::sbInRemoveAllClick()
{
    lbInCalled->clear();
    shownRecord(shownIncoming()).calledNumbers.clear();
    markIncomingChanged();
}

// ---- The CLIP conversion list

void IncomingPage::fillIn198PrefixList(const QStringList& entries)
{
    lbIn198PrefixList->clear();
    lbIn198PrefixList->addItems(entries);
}

void IncomingPage::sbInPrefAddClick()
{
    const std::optional<int> room = clipConversionRoom(incomingWork[0].clipConversions.size());
    if (!room) {
        MessageBox(TextOrFallback(labelText(kTextListFull), QStringLiteral("Error")),
                   TextOrFallback(labelText(kCaptionErrorText), QStringLiteral("Error")), MB_ICONERROR);
        return;
    }
    inCallPrefixForm->ed1->setMaxLength(*room);
    if (ShowModal(inCallPrefixForm) != QDialog::Accepted)
        return;
    const QString entry = inCallPrefixForm->ed1->text();
    // Pasted text is not filtered by the keys: the entry needs its "/", fits its room and takes no ",".
    if (entry.isEmpty() || !entry.contains(QLatin1Char('/')) || entry.size() > *room || !fitsInValueList(entry))
        return;
    const QString comma = incomingWork[0].clipConversions.isEmpty() ? QString() : QStringLiteral(",");
    for (TIncoming& r : incomingWork)
        r.clipConversions += comma + entry;
    lbIn198PrefixList->addItem(entry);
    markIncomingChanged();
}

void IncomingPage::sbInPrefRemoveClick()
{
    const int row = lbIn198PrefixList->currentRow();
    if (row < 0 || row >= lbIn198PrefixList->count())
        return;
    delete lbIn198PrefixList->takeItem(row);
    QStringList entries;
    for (int i = 0; i < lbIn198PrefixList->count(); ++i)
        entries << lbIn198PrefixList->item(i)->text();
    for (TIncoming& r : incomingWork)
        r.clipConversions = entries.join(QLatin1Char(','));
    // A removal is an edit like any other: closing the program offers to save it.
    markIncomingChanged();
}

void IncomingPage::sbInPrefRemoveAllClick()
{
    for (TIncoming& r : incomingWork)
        r.clipConversions.clear();
    lbIn198PrefixList->clear();
    markIncomingChanged();
}

// ---- Label steps

void IncomingPage::setLabelsIncoming1(const Tlabels& t)
{
    setFrameButtonTexts(t, sbInSave, sbInLoad, sbInDefault, sbInSaveFile);
}

void IncomingPage::setLabelsIncoming2(const Tlabels& t)
{
    const QString off = QStringLiteral("(0=off)");
    Label42->setText(labelOr(t, 902, off));
    Label44->setText(labelOr(t, 902, off));
    const QString group = labelOr(t, 314, QStringLiteral("Group"));
    tcIncoming->setTabText(0, group + QStringLiteral(" 1"));
    tcIncoming->setTabText(1, group + QStringLiteral(" 2"));
    lbInMode->setText(labelOr(t, 335, QStringLiteral("Mode :")));
    lbInMin->setText(labelOr(t, 336, QStringLiteral("Min digits in DTMF : ")));
    lbInMax->setText(labelOr(t, 337, QStringLiteral("Max digits in DTMF : ")));
    lbInTour->setText(labelOr(t, 338, QStringLiteral("Tour for enterign DTMF digits [s] :  ")));
    lbInDay->setText(labelOr(t, 339, QStringLiteral("Day of deleting incoming stats : ")));
    lbInPrefix->setText(labelOr(t, 340, QStringLiteral("Prefix before DISA : ")));
    lbInClip->setText(labelOr(t, 341, QStringLiteral("Clip : ")));
    lbInTime->setText(labelOr(t, 342, QStringLiteral("Time to keep clip in table [hours] :")));
    cbInAdd->setText(labelOr(t, 343, QStringLiteral("Add record only for unconnected call")));
    cbInDelete->setText(labelOr(t, 344, QStringLiteral("Delete record for connected answer")));
    lbInNumbers->setText(labelOr(t, 345, QStringLiteral("List of called numbers :")));
    cbInDeniedDtfm->setText(labelOr(t, 950, QStringLiteral("Disabled DTMF for all incoming calls")));
    sbInAdd->setText(labelOr(t, 302, QStringLiteral("Add")));
    sbInRemove->setText(labelOr(t, 303, QStringLiteral("Remove")));
    sbInRemoveAll->setText(labelOr(t, 304, QStringLiteral("Remove all")));
    sbInPrefAdd->setText(labelOr(t, 302, QStringLiteral("Add")));
    sbInPrefRemove->setText(labelOr(t, 303, QStringLiteral("Remove")));
    sbInPrefRemoveAll->setText(labelOr(t, 304, QStringLiteral("Remove all")));
    // The help of the mode on show; no mode chosen shows none.
    const int mode = cbInMode->currentIndex();
    lbInHelp->setText(mode >= 0 ? labelAt(t, kTextModeHelp + mode) : QString());
    cbInRouteDtmf->setText(labelAt(t, 927));
    static const char* const kModes[] = {"Reject incoming calls",
                                         "Ignore incoming calls",
                                         "Accept incoming calls + voice message",
                                         "Accept incoming calls + dialtone",
                                         "After ring, call back/refuse",
                                         "After ring, call back/ignore",
                                         "Report to PC + voice message",
                                         "Report to PC + dialtone"};
    const int chosen = cbInMode->currentIndex();
    for (int p = 0; p < 8 && p < cbInMode->count(); ++p)
        cbInMode->setItemText(p, labelOr(t, 348 + p, QString::fromLatin1(kModes[p])));
    cbInMode->setCurrentIndex(chosen);
    lbInSeparator->setText(labelOr(t, 448, QStringLiteral("Clip to VoIP separator :")));
    lbInSep->setText(labelOr(t, 767, QStringLiteral("CDN recognition in clip (Separating char) :")));
    cbInSame->setText(labelOr(t, 766, QStringLiteral("Same settings as GSM module 1")));
    gbIn1->setTitle(labelOr(t, 768, QStringLiteral("Mode :")));
    gbIn2->setTitle(labelOr(t, 769, QStringLiteral("DTMF digits :")));
    gbIn3->setTitle(labelOr(t, 770, QStringLiteral("Dynamic CLIP routing settings :")));
    groupBox7->setTitle(labelOr(t, 979, QStringLiteral("Incoming CDN from CLIP :")));
    lbInPrefixConv->setText(labelOr(t, 980, QStringLiteral("Prefix conversion of incoming CDN from CLIP :")));
    mInPrefixConv->setPlainText(helpMemoLines(t));
    mInClipConv->setPlainText(helpMemoLines(t));
}

void IncomingPage::setLabelsIncoming3(const Tlabels& t)
{
    gbInPref->setTitle(labelOr(t, 960, QStringLiteral("CLIP conversion from GSM calls")));
}
