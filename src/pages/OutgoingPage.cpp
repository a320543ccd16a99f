// The GSM outgoing groups page: its controls, the handlers that keep the shown record up to date, the tab
// change and the label steps. The exchanges with the gateway and the buttons are in OutgoingPageGateway.cpp.
#include "pages/OutgoingPage.h"

#include "config/Parametres.h"
#include "exchange/GroupsExchange.h"
#include "pages/GroupsPageUtil.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

void markOutgoingChanged()
{
    pageChanged[pcOutgoing] = 1;
}

using namespace groupsPage;

QLineEdit* timeEdit(QWidget* parent, const char* name, const QString& text)
{
    QLineEdit* e = edit(parent, name, 5, 52, text);
    OvertypeKeyFilter::install(e, OvertypeKeyFilter::Time);
    return e;
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& items)
{
    auto* c = named(new QComboBox(parent), name);
    c->addItems(items);
    c->setFixedSize(170, kRowHeight);
    return c;
}

void setItems(QComboBox* box, const QStringList& texts)
{
    // In place: the list keeps its length and its choice, and no change handler runs.
    const int chosen = box->currentIndex();
    for (int i = 0; i < box->count() && i < texts.size(); ++i)
        box->setItemText(i, texts.at(i));
    box->setCurrentIndex(chosen);
}

TOutgoing& shownRecord(int tab)
{
    return outgoingWork[size_t(tab == 1 ? 1 : 0)];
}

} // namespace

int OutgoingPage::shownOutgoing() const
{
    return tcOutgoing->currentIndex() == 1 ? 1 : 0;
}

bool OutgoingPage::secondTabSame() const
{
    return shownOutgoing() == 1 && cbOutSame->isChecked();
}

void OutgoingPage::buildOutgoingPage(QWidget* host)
{
    pOutgoing = addTopicPage(host, "pOutgoing", 34);
    registerPage(PageId::Outgoing, outgoingFrame());
    QWidget* page = pOutgoing->widget();

    tcOutgoing = named(new QTabBar(page), "tcOutgoing");
    tcOutgoing->addTab(QStringLiteral("GSM Module 1"));
    tcOutgoing->addTab(QStringLiteral("GSM Module 2"));
    tcOutgoing->setExpanding(false);
    cbOutSame = named(new QCheckBox(QStringLiteral("Same settings as GSM module 1"), page), "cbOutSame");
    cbOutSame->hide();

    // Call statistics and limits.
    gbOut1 = group(page, "gbOut1", QStringLiteral("GSM call statistics :"));
    lbOutMax = label(gbOut1, "lbOutMax", QStringLiteral("Max number of called numbers : "));
    edOutMaxMin = edit(gbOut1, "edOutMaxMin", 9, 64, QStringLiteral("0"));
    lbOut1 = label(gbOut1, "lbOut1", QStringLiteral("(0=off)"));
    lbOutMinute = label(gbOut1, "lbOutMinute", QStringLiteral("'Minute' parameter :"));
    cbOutMinute = combo(gbOut1, "cbOutMinute", {QStringLiteral("Count of minutes"), QStringLiteral("Count of calls")});
    lbOutSms = label(gbOut1, "lbOutSms", QStringLiteral("SMS messages number : "));
    edOutSmsNumber = edit(gbOut1, "edOutSmsNumber", 9, 64, QStringLiteral("0"));
    lbOutRestore = label(gbOut1, "lbOutRestore", QStringLiteral("Day of restore call limit and delete statistics :"));
    lbOutRestore->setWordWrap(true);
    seOutDayStats = spin(gbOut1, "seOutDayStats", 0, 32, 1);
    lbOutRestore1 = label(gbOut1, "lbOutRestore1", QStringLiteral("(0=off,32=every day)"));
    {
        QGridLayout* g = grid(gbOut1);
        g->addWidget(lbOutMax, 0, 0);
        g->addWidget(edOutMaxMin, 0, 1);
        g->addWidget(lbOut1, 0, 2);
        g->addWidget(lbOutMinute, 1, 0);
        g->addWidget(cbOutMinute, 1, 1, 1, 2);
        g->addWidget(lbOutSms, 2, 0);
        g->addWidget(edOutSmsNumber, 2, 1);
        g->addWidget(lbOutRestore, 3, 0);
        g->addWidget(seOutDayStats, 3, 1);
        g->addWidget(lbOutRestore1, 3, 2);
        g->setColumnStretch(0, 1);
    }

    // Statistics counting.
    gbOut3 = group(page, "gbOut3", QStringLiteral("GSM calls statistics settings :"));
    lbOutAfter = label(gbOut3, "lbOutAfter", QStringLiteral("Nr. of seconds after connect :"));
    seOutAfter = spin(gbOut3, "seOutAfter", 1, 250, 1);
    lbOutNext = label(gbOut3, "lbOutNext", QStringLiteral("Nr. of seconds for next counting :"));
    seOutNext = spin(gbOut3, "seOutNext", 1, 250, 1);
    {
        QGridLayout* g = grid(gbOut3);
        g->addWidget(lbOutAfter, 0, 0);
        g->addWidget(seOutAfter, 0, 1);
        g->addWidget(lbOutNext, 1, 0);
        g->addWidget(seOutNext, 1, 1);
        g->setColumnStretch(0, 1);
    }

    // Advice of charge.
    gbOut5 = group(page, "gbOut5", QStringLiteral("AOC settings :"));
    lbOutPseudo = label(gbOut5, "lbOutPseudo", QStringLiteral("Pseudo tarif :"));
    seOutPseudo = spin(gbOut5, "seOutPseudo", 0, 1200, 0);
    lbOut5 = label(gbOut5, "lbOut5", QStringLiteral("(0=off)"));
    {
        QGridLayout* g = grid(gbOut5);
        g->addWidget(lbOutPseudo, 0, 0);
        g->addWidget(seOutPseudo, 0, 1);
        g->addWidget(lbOut5, 0, 2);
        g->setColumnStretch(0, 1);
    }

    // Roaming, CLIR, disconnect.
    gbOut4 = group(page, "gbOut4", QString());
    lbOutRoaming = label(gbOut4, "lbOutRoaming", QStringLiteral("Roaming enabled for network :"));
    edOutRoaming = edit(gbOut4, "edOutRoaming", 7, 80);
    lbOutClir = label(gbOut4, "lbOutClir", QStringLiteral("CLIR : "));
    cbOutClir =
        combo(gbOut4, "cbOutClir",
              {QStringLiteral("Factory"), QStringLiteral("Disable (CLIP-on)"), QStringLiteral("Enable (CLIP-off)")});
    lbOutDisconnect = label(gbOut4, "lbOutDisconnect", QStringLiteral("Disconnect call :"));
    cbOutDisconnect =
        combo(gbOut4, "cbOutDisconnect", {QStringLiteral("Never "), QStringLiteral("SIM limit exceeding")});
    {
        QGridLayout* g = grid(gbOut4);
        g->addWidget(lbOutRoaming, 0, 0);
        g->addWidget(edOutRoaming, 0, 1);
        g->addWidget(lbOutClir, 1, 0);
        g->addWidget(cbOutClir, 1, 1);
        g->addWidget(lbOutDisconnect, 2, 0);
        g->addWidget(cbOutDisconnect, 2, 1);
        g->setColumnStretch(0, 1);
    }

    // SMS at no answer.
    gbOut2 = group(page, "gbOut2", QStringLiteral("SMS at no answer"));
    lbOutDefault = label(gbOut2, "lbOutDefault", QStringLiteral("Default delay for SMS at no answer [s] : "));
    seOutDelaySms = spin(gbOut2, "seOutDelaySms", 0, 20, 0);
    lbOut2 = label(gbOut2, "lbOut2", QStringLiteral("(0=off)"));
    lbOutTextSms = label(gbOut2, "lbOutTextSms", QStringLiteral("Text for 'SMS at no answer'"));
    edOutTextSms = edit(gbOut2, "edOutTextSms", 63, 0);
    lbOutTextSms1 =
        label(gbOut2, "lbOutTextSms1", QStringLiteral("(%N in the message will be replaced by calling party number)"));
    lbOutTextSms1->setWordWrap(true);
    {
        QGridLayout* g = grid(gbOut2);
        g->addWidget(lbOutDefault, 0, 0);
        g->addWidget(seOutDelaySms, 0, 1);
        g->addWidget(lbOut2, 0, 2);
        g->addWidget(lbOutTextSms, 1, 0, 1, 3);
        g->addWidget(edOutTextSms, 2, 0, 1, 3);
        g->addWidget(lbOutTextSms1, 3, 0, 1, 3);
        g->setColumnStretch(0, 1);
    }

    // Messages to ISDN.
    gbOut6 = group(page, "gbOut6", QStringLiteral("Messages to ISDN :"));
    lbOutDelay = label(gbOut6, "lbOutDelay", QStringLiteral("Delay for CONNECT [s] : "));
    seOutDelayConnect = spin(gbOut6, "seOutDelayConnect", 0, 20, 0);
    rbOut1 = named(new QRadioButton(QStringLiteral("Don't send ALERTING message "), gbOut6), "rbOut1");
    rbOut2 =
        named(new QRadioButton(QStringLiteral("Send alerting after receiving dialtone from  GSM"), gbOut6), "rbOut2");
    rbOut3 = named(new QRadioButton(QStringLiteral("Delay ALERTING [s]  "), gbOut6), "rbOut3");
    seOutDelayAlerting = spin(gbOut6, "seOutDelayAlerting", 2, 20, 2);
    cbOutGenerateVirtual =
        named(new QCheckBox(QStringLiteral("Generate virtual ring tone"), gbOut6), "cbOutGenerateVirtual");
    rbOut2->setChecked(true);
    seOutDelayAlerting->setEnabled(false);
    {
        QGridLayout* g = grid(gbOut6);
        g->addWidget(lbOutDelay, 0, 0);
        g->addWidget(seOutDelayConnect, 0, 1);
        g->addWidget(rbOut1, 1, 0, 1, 2);
        g->addWidget(rbOut2, 2, 0, 1, 2);
        g->addWidget(rbOut3, 3, 0);
        g->addWidget(seOutDelayAlerting, 3, 1);
        g->addWidget(cbOutGenerateVirtual, 4, 0, 1, 2);
        g->setColumnStretch(0, 1);
    }

    // CLIP sent from ISDN to GSM.
    gbOut7 = group(page, "gbOut7", QStringLiteral("Send CLIP from ISDN to GSM :"));
    lbOutHelp = label(gbOut7, "lbOutHelp",
                      QStringLiteral("Attention! Must be supported by your 3G/GSM operator. In other case outgoing "
                                     "calls to GSM/3G can be rejected!"));
    lbOutHelp->setWordWrap(true);
    lbOutHelp->setStyleSheet(QStringLiteral("color: red"));
    cbOutTransfer = named(new QCheckBox(QStringLiteral("Transfer CLIP to GSM"), gbOut7), "cbOutTransfer");
    cbOutTransfer->setChecked(true);
    lbOutSepChar = label(gbOut7, "lbOutSepChar", QStringLiteral("Separating char :"));
    edOutSepChar = edit(gbOut7, "edOutSepChar", 1, 28);
    lbOutgoingClipPrefixConv = label(gbOut7, "lbOutgoingClipPrefixConv", QStringLiteral("CLIP prefix conversion :"));
    edOutgoingClipPrefixConv = edit(gbOut7, "edOutgoingClipPrefixConv", 15, 130);
    mOutgoingClipPrefixConv = helpMemo(gbOut7, "mOutgoingClipPrefixConv");
    {
        QGridLayout* g = grid(gbOut7);
        g->addWidget(lbOutHelp, 0, 0, 1, 4);
        g->addWidget(cbOutTransfer, 1, 0);
        g->addWidget(lbOutSepChar, 1, 1, Qt::AlignRight);
        g->addWidget(edOutSepChar, 1, 2);
        g->addWidget(lbOutgoingClipPrefixConv, 2, 0);
        g->addWidget(edOutgoingClipPrefixConv, 2, 1, 1, 3, Qt::AlignLeft);
        g->addWidget(mOutgoingClipPrefixConv, 3, 0, 1, 4);
        g->setColumnStretch(3, 1);
    }

    // The SIM card's time windows.
    gbOutTime = group(page, "gbOutTime", QStringLiteral("Time to switch to another SIM :"));
    auto* interval1 = new QWidget(gbOutTime);
    lbFrom = label(interval1, "lbFrom", QStringLiteral("From :"));
    edOutFrom1 = timeEdit(interval1, "edOutFrom1", QStringLiteral("00:00"));
    lbTo = label(interval1, "lbTo", QStringLiteral("To :"));
    edOutTo1 = timeEdit(interval1, "edOutTo1", QStringLiteral("24:00"));
    cbOutWeekend1 = named(new QCheckBox(QStringLiteral("Enabled for weekend"), interval1), "cbOutWeekend1");
    cbOutWeekend1->setChecked(true);
    rbOutAll1 = named(new QRadioButton(QStringLiteral("Use all weekend"), interval1), "rbOutAll1");
    rbOutWeek1 = named(new QRadioButton(QStringLiteral("Use as in week (set above)"), interval1), "rbOutWeek1");
    rbOutWeek1->setChecked(true);
    auto* interval2 = new QWidget(gbOutTime);
    cbOut2Interval = named(new QCheckBox(QStringLiteral("Use 2nd interval"), interval2), "cbOut2Interval");
    lbOutFrom2 = label(interval2, "lbOutFrom2", QStringLiteral("From : "));
    edOutFrom5 = timeEdit(interval2, "edOutFrom5", QStringLiteral("00:00"));
    lbOutTo2 = label(interval2, "lbOutTo2", QStringLiteral("To : "));
    edOutTo5 = timeEdit(interval2, "edOutTo5", QStringLiteral("24:00"));
    cbOutWeekend5 = named(new QCheckBox(QStringLiteral("Enabled for weekend"), interval2), "cbOutWeekend5");
    cbOutWeekend5->setChecked(true);
    rbOutAll5 = named(new QRadioButton(QStringLiteral("Use all weekend"), interval2), "rbOutAll5");
    rbOutWeek5 = named(new QRadioButton(QStringLiteral("Use as in week (set above)"), interval2), "rbOutWeek5");
    rbOutWeek5->setChecked(true);
    auto intervalLayout = [](QWidget* box, QWidget* top, QLabel* from, QLineEdit* fromEdit, QLabel* to,
                             QLineEdit* toEdit, QCheckBox* weekend, QRadioButton* all, QRadioButton* week) {
        auto* v = new QVBoxLayout(box);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(1);
        if (top)
            v->addWidget(top);
        auto* times = new QHBoxLayout;
        times->addWidget(from);
        times->addWidget(fromEdit);
        times->addWidget(to);
        times->addWidget(toEdit);
        times->addStretch();
        v->addLayout(times);
        v->addWidget(weekend);
        for (QRadioButton* r : {all, week}) {
            auto* indented = new QHBoxLayout;
            indented->setContentsMargins(18, 0, 0, 0);
            indented->addWidget(r);
            v->addLayout(indented);
        }
        v->addStretch();
    };
    for (QLabel* l : {lbFrom, lbTo, lbOutFrom2, lbOutTo2})
        l->setWordWrap(false); // a time's caption stays on its line
    intervalLayout(interval1, nullptr, lbFrom, edOutFrom1, lbTo, edOutTo1, cbOutWeekend1, rbOutAll1, rbOutWeek1);
    intervalLayout(interval2, cbOut2Interval, lbOutFrom2, edOutFrom5, lbOutTo2, edOutTo5, cbOutWeekend5, rbOutAll5,
                   rbOutWeek5);
    {
        auto* h = new QHBoxLayout(gbOutTime);
        h->setContentsMargins(6, 2, 6, 3);
        h->setSpacing(8);
        h->addWidget(interval1, 1);
        h->addWidget(interval2, 1);
    }

    sbOutSave = pageRowButton(page, "sbOutSave", QStringLiteral("Save to gate"));
    sbOutLoad = pageRowButton(page, "sbOutLoad", QStringLiteral("Load from gate"));
    sbOutDefault = pageRowButton(page, "sbOutDefault", QStringLiteral("Defaults"));
    sbOutSaveFile = pageRowButton(page, "sbOutSaveFile", QStringLiteral("Save to file"));

    layOutTabbedColumns(page, tcOutgoing, cbOutSame, column({gbOut1, gbOut3, gbOut5, gbOut4, gbOut2}),
                        column({gbOut6, gbOut7, gbOutTime}));
    addPageButtons(pOutgoing, {sbOutSave, sbOutLoad, sbOutDefault, sbOutSaveFile});

    // Key filters: digits only in the spin edits (spin()); the number edits also take the copy and paste
    // keys. Texts that go out inside a comma-separated value refuse a ",".
    for (QLineEdit* e : {edOutRoaming, edOutMaxMin, edOutSmsNumber})
        CharKeyFilter::install(e, digitOrClipboardKey);
    for (QLineEdit* e : {edOutRoaming, edOutSepChar})
        refuseCommas(e);

    auto onText = [](QLineEdit* e, auto handler) { QObject::connect(e, &QLineEdit::textChanged, e, handler); };
    auto onSpin = [](QSpinBox* s, auto handler) { QObject::connect(s, &QSpinBox::valueChanged, s, handler); };
    auto onToggle = [](QAbstractButton* b, auto handler) {
        QObject::connect(b, &QAbstractButton::toggled, b, handler);
    };
    auto onChecked = [](QRadioButton* r, auto handler) {
        QObject::connect(r, &QRadioButton::toggled, r, [handler](bool on) {
            if (on)
                handler();
        });
    };

    QObject::connect(tcOutgoing, &QTabBar::currentChanged, tcOutgoing, [this] { tcOutgoingChange(); });
    onToggle(cbOutSame, [this] { cbOutSameClick(); });
    onText(edOutMaxMin, [this] { edOutMaxMinChange(); });
    onText(edOutSmsNumber, [this] { edOutSmsNumberChange(); });
    QObject::connect(cbOutMinute, &QComboBox::activated, cbOutMinute, [this] { cbOutMinuteChange(); });
    QObject::connect(cbOutClir, &QComboBox::activated, cbOutClir, [this] { cbOutClirChange(); });
    QObject::connect(cbOutDisconnect, &QComboBox::activated, cbOutDisconnect, [this] { cbOutDisconnectChange(); });
    onText(edOutTextSms, [this] { edOutTextSmsChange(); });
    onText(edOutRoaming, [this] { edOutRoamingChange(); });
    onText(edOutgoingClipPrefixConv, [this] { edOutgoingClipPrefixConvChange(); });
    onText(edOutSepChar, [this] { edOutSepCharChange(); });
    onToggle(cbOutTransfer, [this] { cbOutTransferClick(); });
    onToggle(cbOutGenerateVirtual, [this] { cbOutGenerateVirtualClick(); });
    onChecked(rbOut1, [this] { rbOut1Click(); });
    onChecked(rbOut2, [this] { rbOut2Click(); });
    onChecked(rbOut3, [this] { rbOut3Click(); });
    onSpin(seOutDelayAlerting, [this] { seOutDelayAlertingChange(); });
    onToggle(cbOut2Interval, [this] { cbOut2IntervalClick(); });

    onSpin(seOutDayStats, [this] { seOutDayStatsChange(); });
    onSpin(seOutAfter, [this] { seOutAfterChange(); });
    onSpin(seOutNext, [this] { seOutNextChange(); });
    onSpin(seOutPseudo, [this] { seOutPseudoChange(); });
    onSpin(seOutDelaySms, [this] { seOutDelaySmsChange(); });
    onSpin(seOutDelayConnect, [this] { seOutDelayConnectChange(); });

    onText(edOutFrom1, [this] { edOutFrom1Change(); });
    onText(edOutTo1, [this] { edOutTo1Change(); });
    onToggle(cbOutWeekend1, [this] { cbOutWeekend1Click(); });
    onChecked(rbOutAll1, [this] { rbOutAll1Click(); });
    onChecked(rbOutWeek1, [this] { rbOutWeek1Click(); });
    onText(edOutFrom5, [this] { edOutFrom5Change(); });
    onText(edOutTo5, [this] { edOutTo5Change(); });
    onToggle(cbOutWeekend5, [this] { cbOutWeekend5Click(); });
    onChecked(rbOutAll5, [this] { rbOutAll5Click(); });
    onChecked(rbOutWeek5, [this] { rbOutWeek5Click(); });

    QObject::connect(sbOutLoad, &QPushButton::clicked, sbOutLoad, [this] { sbOutLoadClick(); });
    QObject::connect(sbOutSave, &QPushButton::clicked, sbOutSave, [this] { sbOutSaveClick(); });
    QObject::connect(sbOutDefault, &QPushButton::clicked, sbOutDefault, [this] { sbOutDefaultClick(); });
    QObject::connect(sbOutSaveFile, &QPushButton::clicked, sbOutSaveFile, [this] { sbOutSaveFileClick(); });
}

// ---- Handlers of the controls

// The spin edits store their value into the shown record (a spin box reports no value while its text is
// empty, so nothing is stored then).
void OutgoingPage::storeSpin(QSpinBox* spin, int TOutgoing::*field)
{
    shownRecord(shownOutgoing()).*field = spin->value();
    markOutgoingChanged();
}

void OutgoingPage::seOutDayStatsChange()
{
    storeSpin(seOutDayStats, &TOutgoing::statsDay);
}

void OutgoingPage::seOutAfterChange()
{
    storeSpin(seOutAfter, &TOutgoing::secondsAfterConnect);
}

void OutgoingPage::seOutNextChange()
{
    storeSpin(seOutNext, &TOutgoing::secondsNextCount);
}

void OutgoingPage::seOutPseudoChange()
{
    storeSpin(seOutPseudo, &TOutgoing::pseudoTariff);
}

void OutgoingPage::seOutDelaySmsChange()
{
    storeSpin(seOutDelaySms, &TOutgoing::smsDelay);
}

void OutgoingPage::seOutDelayConnectChange()
{
    storeSpin(seOutDelayConnect, &TOutgoing::delayConnect);
}

void OutgoingPage::edOutMaxMinChange()
{
    bool ok = false;
    const int v = edOutMaxMin->text().toInt(&ok);
    if (ok)
        shownRecord(shownOutgoing()).maxMinutes = v;
    markOutgoingChanged();
}

void OutgoingPage::edOutSmsNumberChange()
{
    bool ok = false;
    const int v = edOutSmsNumber->text().toInt(&ok);
    if (ok)
        shownRecord(shownOutgoing()).maxSms = v;
    markInvalid(edOutSmsNumber, false);
    markOutgoingChanged();
}

void OutgoingPage::cbOutMinuteChange()
{
    qint32& flags = shownRecord(shownOutgoing()).callFlags;
    flags = cbOutMinute->currentIndex() == 1 ? flags | kOutCountCalls : flags & ~kOutCountCalls;
    markOutgoingChanged();
}

void OutgoingPage::cbOutGenerateVirtualClick()
{
    qint32& flags = shownRecord(shownOutgoing()).callFlags;
    flags = cbOutGenerateVirtual->isChecked() ? flags | kOutVirtualRing : flags & ~kOutVirtualRing;
    markOutgoingChanged();
}

void OutgoingPage::edOutTextSmsChange()
{
    for (TOutgoing& r : outgoingWork)
        r.smsText = edOutTextSms->text();
    markOutgoingChanged();
}

void OutgoingPage::edOutgoingClipPrefixConvChange()
{
    for (TOutgoing& r : outgoingWork)
        r.clipPrefixConversion = edOutgoingClipPrefixConv->text();
    markOutgoingChanged();
}

void OutgoingPage::edOutRoamingChange()
{
    shownRecord(shownOutgoing()).roamingNetwork = edOutRoaming->text();
    markOutgoingChanged();
}

void OutgoingPage::cbOutClirChange()
{
    shownRecord(shownOutgoing()).clir = cbOutClir->currentIndex();
    markOutgoingChanged();
}

void OutgoingPage::cbOutDisconnectChange()
{
    shownRecord(shownOutgoing()).disconnectCall = cbOutDisconnect->currentIndex() == 1 ? 1 : 0;
    markOutgoingChanged();
}

void OutgoingPage::edOutSepCharChange()
{
    TOutgoing& r = shownRecord(shownOutgoing());
    if (!cbOutTransfer->isChecked()) {
        r.clipSeparator = QChar();
        return;
    }
    const QString text = edOutSepChar->text();
    r.clipSeparator = text.isEmpty() ? QChar() : text.at(0);
    markOutgoingChanged();
}

void OutgoingPage::cbOutTransferClick()
{
    const bool on = cbOutTransfer->isChecked();
    lbOutSepChar->setEnabled(on);
    edOutSepChar->setEnabled(on);
    if (!on) {
        shownRecord(shownOutgoing()).clipSeparator = QChar();
        edOutSepChar->clear();
    }
}

void OutgoingPage::rbOut1Click()
{
    markOutgoingChanged();
    if (outgoingFilling)
        return;
    shownRecord(shownOutgoing()).delayAlerting = 0;
    seOutDelayAlerting->setValue(2);
    seOutDelayAlerting->setEnabled(false);
}

void OutgoingPage::rbOut2Click()
{
    markOutgoingChanged();
    if (outgoingFilling)
        return;
    shownRecord(shownOutgoing()).delayAlerting = 1;
    seOutDelayAlerting->setValue(2);
    seOutDelayAlerting->setEnabled(false);
}

void OutgoingPage::rbOut3Click()
{
    markOutgoingChanged();
    if (outgoingFilling)
        return;
    seOutDelayAlerting->setEnabled(true);
    shownRecord(shownOutgoing()).delayAlerting = seOutDelayAlerting->value();
}

void OutgoingPage::seOutDelayAlertingChange()
{
    if (!rbOut3->isChecked() || seOutDelayAlerting->cleanText().isEmpty() || outgoingFilling)
        return;
    shownRecord(shownOutgoing()).delayAlerting = seOutDelayAlerting->value();
    markOutgoingChanged();
}

void OutgoingPage::outgoingWindowChange(int window)
{
    const bool first = window == 1;
    QCheckBox* weekend = first ? cbOutWeekend1 : cbOutWeekend5;
    QRadioButton* all = first ? rbOutAll1 : rbOutAll5;
    QRadioButton* week = first ? rbOutWeek1 : rbOutWeek5;
    const bool radios = weekend->isChecked() && !secondTabSame();
    all->setEnabled(radios);
    week->setEnabled(radios);
    const QString text =
        buildOutgoingWindow((first ? edOutFrom1 : edOutFrom5)->text(), (first ? edOutTo1 : edOutTo5)->text(),
                            weekend->isChecked(), all->isChecked());
    TSim& sim = shownRecord(shownOutgoing()).sim;
    (first ? sim.window1 : sim.window2) = text;
    markOutgoingChanged();
}

void OutgoingPage::cbOut2IntervalClick()
{
    const bool on = cbOut2Interval->isChecked();
    const bool free = !secondTabSame();
    for (QWidget* w : std::initializer_list<QWidget*>{lbOutFrom2, lbOutTo2, edOutFrom5, edOutTo5, cbOutWeekend5})
        w->setEnabled(on && free);
    rbOutAll5->setEnabled(on && cbOutWeekend5->isChecked() && free);
    rbOutWeek5->setEnabled(on && cbOutWeekend5->isChecked() && free);
    shownRecord(shownOutgoing()).sim.secondInterval = on;
    markOutgoingChanged();
}

void OutgoingPage::outgoingEnableControls(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{lbOutMax,
                                                      edOutMaxMin,
                                                      lbOut1,
                                                      lbOutMinute,
                                                      cbOutMinute,
                                                      lbOutSms,
                                                      edOutSmsNumber,
                                                      lbOutRestore,
                                                      seOutDayStats,
                                                      lbOutRestore1,
                                                      lbOutDefault,
                                                      seOutDelaySms,
                                                      lbOut2,
                                                      lbOutTextSms,
                                                      edOutTextSms,
                                                      lbOutTextSms1,
                                                      lbOutAfter,
                                                      lbOutNext,
                                                      seOutAfter,
                                                      seOutNext,
                                                      lbOutRoaming,
                                                      edOutRoaming,
                                                      lbOutClir,
                                                      cbOutClir,
                                                      lbOutDisconnect,
                                                      cbOutDisconnect,
                                                      edOutSepChar,
                                                      lbOutDelay,
                                                      seOutDelayConnect,
                                                      rbOut1,
                                                      rbOut2,
                                                      rbOut3,
                                                      seOutDelayAlerting,
                                                      lbFrom,
                                                      lbOutFrom2,
                                                      lbTo,
                                                      lbOutTo2,
                                                      cbOut2Interval,
                                                      cbOutWeekend1,
                                                      rbOutAll1,
                                                      rbOutWeek1,
                                                      cbOutWeekend5,
                                                      rbOutAll5,
                                                      rbOutWeek5,
                                                      edOutFrom1,
                                                      edOutTo1,
                                                      edOutFrom5,
                                                      edOutTo5,
                                                      cbOutTransfer,
                                                      cbOutGenerateVirtual})
        w->setEnabled(enabled);
}

void OutgoingPage::applyOutSame()
{
    applySameSettings(
        cbOutSame, outgoingWork, [this](bool on) { outgoingEnableControls(on); }, [this] { outgoingSaveFile(); });
    if (cbOutSame->isChecked())
        outgoingTyped[1] = outgoingTyped[0];
}

void OutgoingPage::cbOutSameClick()
{
    applyOutSame();
    tcOutgoingChange();
}

// ---- Showing a record

void OutgoingPage::showOutgoingWindow(int window, const QString& text)
{
    const bool first = window == 1;
    const OutgoingWindow w = parseOutgoingWindow(text); // before the first control writes the record again
    QCheckBox* weekend = first ? cbOutWeekend1 : cbOutWeekend5;
    QRadioButton* all = first ? rbOutAll1 : rbOutAll5;
    QRadioButton* week = first ? rbOutWeek1 : rbOutWeek5;
    (first ? edOutFrom1 : edOutFrom5)->setText(w.from);
    (first ? edOutTo1 : edOutTo5)->setText(w.to);
    weekend->setChecked(w.weekend != OutgoingWindow::NoWeekend);
    if (w.weekend == OutgoingWindow::AsInWeek)
        week->setChecked(true);
    else
        all->setChecked(true);
    const bool radios = w.weekend != OutgoingWindow::NoWeekend && !secondTabSame();
    all->setEnabled(radios);
    week->setEnabled(radios);
}

void OutgoingPage::tcOutgoingChange()
{
    keepTypedTimes(); // before the edits are refilled
    const int t = shownOutgoing();
    cbOutSame->setVisible(t == 1);
    if (t == 1)
        applyOutSame();
    else
        outgoingEnableControls(true);
    // A copy: the controls' handlers write the record while it is being shown.
    const TOutgoing r = outgoingWork[size_t(t)];

    edOutMaxMin->setText(QString::number(r.maxMinutes));
    cbOutMinute->setCurrentIndex(r.callFlags & kOutCountCalls ? 1 : 0);
    cbOutGenerateVirtual->setChecked(r.callFlags & kOutVirtualRing);
    edOutSmsNumber->setText(QString::number(r.maxSms));
    seOutDayStats->setValue(r.statsDay);
    seOutPseudo->setValue(r.pseudoTariff);
    seOutDelayConnect->setValue(r.delayConnect);
    edOutgoingClipPrefixConv->setText(r.clipPrefixConversion);

    outgoingFilling = true;
    if (r.delayAlerting == 0 || r.delayAlerting == 1) {
        (r.delayAlerting == 0 ? rbOut1 : rbOut2)->setChecked(true);
        seOutDelayAlerting->setEnabled(false);
        seOutDelayAlerting->setValue(2);
    } else {
        rbOut3->setChecked(true);
        seOutDelayAlerting->setEnabled(!secondTabSame());
        seOutDelayAlerting->setValue(r.delayAlerting);
    }
    outgoingFilling = false;

    edOutRoaming->setText(r.roamingNetwork);
    cbOutClir->setCurrentIndex(r.clir);
    cbOutDisconnect->setCurrentIndex(r.disconnectCall & 1);
    outgoingFilling = true;
    seOutDelaySms->setValue(r.smsDelay);
    outgoingFilling = false;
    cbOutTransfer->setChecked(!r.clipSeparator.isNull());
    edOutSepChar->setText(r.clipSeparator.isNull() ? QString() : QString(r.clipSeparator));
    const bool transfer = cbOutTransfer->isChecked() && cbOutTransfer->isEnabled();
    lbOutSepChar->setEnabled(transfer);
    edOutSepChar->setEnabled(transfer);
    // The record's own separator: the edit refuses what the gateway may hold (a ","), the record keeps it.
    outgoingWork[size_t(t)].clipSeparator = r.clipSeparator;
    edOutTextSms->setText(r.smsText);
    seOutAfter->setValue(r.secondsAfterConnect);
    seOutNext->setValue(r.secondsNextCount);

    showOutgoingWindow(1, r.sim.window1);
    if (r.sim.window2.isEmpty())
        showOutgoingWindow(2, kWindowAllDay);
    else
        showOutgoingWindow(2, r.sim.window2);

    cbOut2Interval->setChecked(r.sim.secondInterval);
    cbOut2IntervalClick();

    // Filling the edits cleared their modified flags: they get back the shown group's, and a mark of the
    // group shown before goes.
    const std::array<QLineEdit*, 4> edits = outgoingTimeEdits();
    for (size_t i = 0; i < edits.size(); ++i) {
        edits[i]->setModified(outgoingTyped[size_t(t)][i]);
        ClearTimeMark(edits[i]);
    }
    outgoingEditsGroup = t;
}

// ---- Label steps

void OutgoingPage::setLabelsOutgoing1(const Tlabels& t)
{
    setFrameButtonTexts(t, sbOutSave, sbOutLoad, sbOutDefault, sbOutSaveFile);
}

void OutgoingPage::setLabelsOutgoing2(const Tlabels& t)
{
    const QString off = QStringLiteral("(0=off)");
    lbOut2->setText(labelOr(t, 902, off));
    lbOut1->setText(labelOr(t, 902, off));
    lbOut5->setText(labelOr(t, 902, off));
    const QString module = labelOr(t, 314, QStringLiteral("GSM module"));
    tcOutgoing->setTabText(0, module + QStringLiteral(" 1"));
    tcOutgoing->setTabText(1, module + QStringLiteral(" 2"));
    lbOutRoaming->setText(labelOr(t, 315, QStringLiteral("Roaming enabled for network :")));
    lbOutClir->setText(labelOr(t, 316, QStringLiteral("CLIR : ")));
    lbOutMax->setText(labelOr(t, 317, QStringLiteral("Max number of called numbers : ")));
    lbOutSms->setText(labelOr(t, 318, QStringLiteral("SMS messages number : ")));
    rbOut1->setText(labelOr(t, 828, QStringLiteral("Don't send ALERTING message")));
    rbOut2->setText(labelOr(t, 829, QStringLiteral("Send ALERTING message after dial from GSM")));
    lbOutDelay->setText(labelOr(t, 323, QStringLiteral("Delay for CONNECT [s] : ")));
    rbOut3->setText(labelOr(t, 324, QStringLiteral("Delay for ALERTING [s] : ")));
    lbOutDefault->setText(labelOr(t, 327, QStringLiteral("Default delay for SMS at no answer [s] : ")));
    setItems(cbOutClir,
             {labelOr(t, 329, QStringLiteral("Factory")), labelOr(t, 330, QStringLiteral("Disable (CLIP - on)")),
              labelOr(t, 331, QStringLiteral("Enable (CLIP - off)"))});
    lbOutMinute->setText(labelOr(t, 634, QStringLiteral("'Minute' parameter :")));
    lbOutRestore1->setText(labelOr(t, 635, QStringLiteral("(0=off,32=every day)")));
    gbOut2->setTitle(labelOr(t, 755, QStringLiteral("SMS at no answer")));
    lbOutTextSms->setText(labelOr(t, 905, QStringLiteral("Text for 'SMS at no answer'")));
    lbOutTextSms1->setText(
        labelOr(t, 756, QStringLiteral("(%N in the message will be replaced by calling party number)")));
    gbOut3->setTitle(labelOr(t, 757, QStringLiteral("GSM calls statistics settings :")));
    lbOutAfter->setText(labelOr(t, 758, QStringLiteral("Nr. of seconds after connect :")));
    lbOutNext->setText(labelOr(t, 759, QStringLiteral("Nr. of seconds for next counting :")));
    lbOutDisconnect->setText(labelOr(t, 760, QStringLiteral("Disconnect call :")));
    gbOut5->setTitle(labelOr(t, 761, QStringLiteral("AOC settings :")));
    lbOutPseudo->setText(labelOr(t, 762, QStringLiteral("Pseudo tarif :")));
    gbOut6->setTitle(labelOr(t, 763, QStringLiteral("Messages to ISDN :")));
    gbOut7->setTitle(labelOr(t, 764, QStringLiteral("Send CLIP from ISDN to GSM :")));
    gbOut1->setTitle(labelOr(t, 765, QStringLiteral("GSM call statistics :")));
    cbOutSame->setText(labelOr(t, 766, QStringLiteral("Same settings as GSM module 1")));
    gbOutTime->setTitle(labelOr(t, 638, QStringLiteral("Time to switch to another SIM :")));
    lbFrom->setText(labelOr(t, 639, QStringLiteral("From :")));
    lbOutFrom2->setText(labelOr(t, 639, QStringLiteral("From : ")));
    lbTo->setText(labelOr(t, 640, QStringLiteral("To :")));
    lbOutTo2->setText(labelOr(t, 640, QStringLiteral("To : ")));
    lbOutRestore->setText(labelOr(t, 641, QStringLiteral("Day of restore call limit and delete statistics :")));
    cbOut2Interval->setText(labelOr(t, 642, QStringLiteral("Use 2nd interval")));
    for (QCheckBox* c : {cbOutWeekend1, cbOutWeekend5})
        c->setText(labelOr(t, 643, QStringLiteral("Enabled for weekend")));
    for (QRadioButton* r : {rbOutAll1, rbOutAll5})
        r->setText(labelOr(t, 644, QStringLiteral("Use whole weekend")));
    for (QRadioButton* r : {rbOutWeek1, rbOutWeek5})
        r->setText(labelOr(t, 645, QStringLiteral("Use the above set time")));
    setItems(cbOutMinute,
             {labelOr(t, 672, QStringLiteral("Count of minutes")), labelOr(t, 673, QStringLiteral("Count of calls"))});
    setItems(cbOutDisconnect,
             {labelOr(t, 332, QStringLiteral("Never")), labelOr(t, 333, QStringLiteral("SIM limit exceeding"))});
    cbOutGenerateVirtual->setText(labelOr(t, 925, QStringLiteral("Generate virtual ring tone")));
    // These have no English text of their own: an empty entry keeps what the control shows.
    gbOut3->setTitle(labelOr(t, 690, gbOut3->title()));
    lbOutHelp->setText(labelOr(t, 691, lbOutHelp->text()));
    cbOutTransfer->setText(labelOr(t, 692, cbOutTransfer->text()));
    lbOutSepChar->setText(labelOr(t, 693, lbOutSepChar->text()));
    lbOutgoingClipPrefixConv->setText(labelOr(t, 978, QStringLiteral("CLIP prefix conversion :")));
    mOutgoingClipPrefixConv->setPlainText(helpMemoLines(t));
}
