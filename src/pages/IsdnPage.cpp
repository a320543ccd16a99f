// The ISDN page: its controls, their handlers, the model layout, the label steps and the copies to and from
// the image. The exchanges with the gateway are in IsdnPageGateway.cpp.
#include "pages/IsdnPage.h"

#include "config/Parametres.h"
#include "link/LinkState.h"
#include "pages/EntryFilters.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/TfQuestionMark.h"
#include "texts/LabelRule.h"
#include "texts/TextFormat.h"
#include "ui/KeyFilters.h"
#include "ui/TfMain.h"
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
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>

namespace {

template <typename W> W* make(QWidget* parent, const char* name)
{
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, bool wrap = false)
{
    auto* l = make<QLabel>(parent, name);
    l->setText(caption);
    l->setWordWrap(wrap);
    return l;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& caption)
{
    auto* g = make<QGroupBox>(parent, name);
    g->setTitle(caption);
    return g;
}

QSpinBox* spin(QWidget* parent, const char* name, int min, int max, int value, int width = 56)
{
    auto* s = make<QSpinBox>(parent, name);
    s->setRange(min, max);
    s->setValue(value);
    s->setFixedWidth(width);
    return s;
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& items)
{
    auto* c = make<QComboBox>(parent, name);
    c->addItems(items);
    c->setCurrentIndex(0);
    return c;
}

QCheckBox* check(QWidget* parent, const char* name, const QString& caption)
{
    auto* c = make<QCheckBox>(parent, name);
    c->setText(caption);
    return c;
}

QLineEdit* edit(QWidget* parent, const char* name, int maxLength, int width)
{
    auto* e = make<QLineEdit>(parent, name);
    e->setMaxLength(maxLength);
    e->setFixedWidth(width);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = 130)
{
    auto* b = make<QPushButton>(parent, name);
    b->setGeometry(x, y, w, 27);
    b->setText(caption);
    return b;
}

// A grid of label and control rows in a group.
QGridLayout* rows(QWidget* group)
{
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setVerticalSpacing(4);
    return grid;
}

// Rewrites a list's items in place; the selected item stays selected.
void setItems(QComboBox* box, const QStringList& texts)
{
    for (int i = 0; i < box->count() && i < texts.size(); ++i)
        box->setItemText(i, texts.at(i));
}

void markIsdnChanged()
{
    pageChanged[pcIsdn] = 1;
}

int position(const QComboBox* box)
{
    return qMax(box->currentIndex(), 0);
}

int portMask(const QCheckBox* layer1, const QCheckBox* layer2, const QCheckBox* sms)
{
    return (layer1->isChecked() ? 1 : 0) | (layer2->isChecked() ? 2 : 0) | (sms->isChecked() ? 4 : 0);
}

void setPortMask(int mask, QCheckBox* layer1, QCheckBox* layer2, QCheckBox* sms)
{
    layer1->setChecked(mask & 1);
    layer2->setChecked(mask & 2);
    sms->setChecked(mask & 4);
}

} // namespace

void IsdnPage::buildIsdnPage(QWidget* host)
{
    pIsdn = addTopicPage(host, "pIsdn", 584);
    registerPage(PageId::Isdn, isdnFrame());
    QWidget* page = pIsdn->widget();
    // The page fits the page area of the main window at its start size; its buttons stand where every
    // page's buttons stand.
    page->setMinimumSize(740, 546);

    pcIsdn = make<QTabWidget>(page, "pcIsdn");
    pcIsdn->setGeometry(8, 4, 736, 542);
    tsIsdnGeneral = new QWidget;
    tsIsdnGeneral->setObjectName(QStringLiteral("tsIsdnGeneral"));
    tsIsdnMonitoring = new QWidget;
    tsIsdnMonitoring->setObjectName(QStringLiteral("tsIsdnMonitoring"));
    pcIsdn->addTab(tsIsdnGeneral, QStringLiteral("General"));
    pcIsdn->addTab(tsIsdnMonitoring, QStringLiteral("Monitoring"));
    QWidget* g = tsIsdnGeneral;

    const QStringList tones{QStringLiteral("None"), QStringLiteral("European"), QStringLiteral("Czech"),
                            QStringLiteral("Hungarian"), QStringLiteral("English")};
    const QString teiHint = QStringLiteral("(0-63,64=dynamic TEI)");

    // BRI 1 (NT).
    gbIsdn1 = group(g, "gbIsdn1", QStringLiteral("ISDN BRI 1 port settings :"));
    lbIsdnInterfaceCap1 = label(gbIsdn1, "lbIsdnInterfaceCap1", QStringLiteral("Interface :"));
    lbIsdnInterface1 = label(gbIsdn1, "lbIsdnInterface1", QStringLiteral("NT"));
    QFont bold = lbIsdnInterface1->font();
    bold.setBold(true);
    lbIsdnInterface1->setFont(bold);
    lbIsdnNTmode = label(gbIsdn1, "lbIsdnNTmode", QStringLiteral("Mode :"));
    cbIsdnNTmode =
        combo(gbIsdn1, "cbIsdnNTmode", {QStringLiteral("Point-to-point"), QStringLiteral("Point-to-multipoint")});
    lbIsdnNTMan = label(gbIsdn1, "lbIsdnNTMan", QStringLiteral("TEI managament"));
    seIsdnNTMan = spin(gbIsdn1, "seIsdnNTMan", 0, 64, 0);
    lbIsdnDynamicTei1 = label(gbIsdn1, "lbIsdnDynamicTei1", teiHint);
    {
        QGridLayout* grid = rows(gbIsdn1);
        grid->addWidget(lbIsdnInterfaceCap1, 0, 0);
        grid->addWidget(lbIsdnInterface1, 0, 1, 1, 2);
        grid->addWidget(lbIsdnNTmode, 1, 0);
        grid->addWidget(cbIsdnNTmode, 1, 1, 1, 2);
        grid->addWidget(lbIsdnNTMan, 2, 0);
        grid->addWidget(seIsdnNTMan, 2, 1);
        grid->addWidget(lbIsdnDynamicTei1, 2, 2);
        grid->setRowStretch(5, 1);
        grid->setColumnStretch(2, 1);
    }

    // BRI 2 (TE), or the only port of the one-port gateway.
    gbIsdn2 = group(g, "gbIsdn2", QStringLiteral("ISDN BRI 2 port settings :"));
    lbIsdnInterfaceCap2 = label(gbIsdn2, "lbIsdnInterfaceCap2", QStringLiteral("Interface :"));
    lbIsdnInterface2 = label(gbIsdn2, "lbIsdnInterface2", QStringLiteral("TE"));
    lbIsdnInterface2->setFont(bold);
    cbIsdnInterface = combo(gbIsdn2, "cbIsdnInterface", {QStringLiteral("NT"), QStringLiteral("TE")});
    cbIsdnInterface->hide();
    lbIsdnTEmode = label(gbIsdn2, "lbIsdnTEmode", QStringLiteral("Mode :"));
    cbIsdnTEmode = combo(gbIsdn2, "cbIsdnTEmode",
                         {QStringLiteral("Disabled"), QStringLiteral("External sync"), QStringLiteral("Point-to-point"),
                          QStringLiteral("Point-to-multipoint")});
    lbIsdnTEMan = label(gbIsdn2, "lbIsdnTEMan", QStringLiteral("TEI managament"));
    seIsdnTEMan = spin(gbIsdn2, "seIsdnTEMan", 0, 64, 0);
    lbIsdnDynamicTei2 = label(gbIsdn2, "lbIsdnDynamicTei2", teiHint);
    cbIsdnDisaTone = check(gbIsdn2, "cbIsdnDisaTone", QStringLiteral("DISA dial tone"));
    lbIsdnMsn = label(gbIsdn2, "lbIsdnMsn", QStringLiteral("MSN number :"));
    edIsdnMsnNumber = edit(gbIsdn2, "edIsdnMsnNumber", kMaxMsnLength, 150);
    {
        QGridLayout* grid = rows(gbIsdn2);
        auto* iface = new QHBoxLayout;
        iface->addWidget(lbIsdnInterface2);
        iface->addWidget(cbIsdnInterface);
        iface->addStretch();
        grid->addWidget(lbIsdnInterfaceCap2, 0, 0);
        grid->addLayout(iface, 0, 1, 1, 2);
        grid->addWidget(lbIsdnTEmode, 1, 0);
        grid->addWidget(cbIsdnTEmode, 1, 1, 1, 2);
        grid->addWidget(lbIsdnTEMan, 2, 0);
        grid->addWidget(seIsdnTEMan, 2, 1);
        grid->addWidget(lbIsdnDynamicTei2, 2, 2);
        grid->addWidget(cbIsdnDisaTone, 3, 0, 1, 3);
        grid->addWidget(lbIsdnMsn, 4, 0);
        grid->addWidget(edIsdnMsnNumber, 4, 1, 1, 2);
        grid->setRowStretch(5, 1);
        grid->setColumnStretch(2, 1);
    }

    // Dialling mode.
    GroupBox3 = group(g, "GroupBox3", QString());
    lbIsdnDialingMode = label(GroupBox3, "lbIsdnDialingMode", QStringLiteral("Dialing mode :"), true);
    cbIsdnDialingMode = combo(GroupBox3, "cbIsdnDialingMode", {QStringLiteral("OVERLAP"), QStringLiteral("ENBLOCK")});
    lbIsdnDigits = label(GroupBox3, "lbIsdnDigits", QStringLiteral("Digits in setup :"), true);
    seIsdnDigits = spin(GroupBox3, "seIsdnDigits", 0, 255, 0);
    lbIsdnDigits->setEnabled(false);
    seIsdnDigits->setEnabled(false);
    {
        QGridLayout* grid = rows(GroupBox3);
        grid->addWidget(lbIsdnDialingMode, 0, 0);
        grid->addWidget(cbIsdnDialingMode, 0, 1);
        grid->addWidget(lbIsdnDigits, 1, 0);
        grid->addWidget(seIsdnDigits, 1, 1);
        grid->setRowStretch(2, 1);
        grid->setColumnStretch(0, 1);
    }

    // Tones towards ISDN.
    gbIsdn7 = group(g, "gbIsdn7", QStringLiteral("Tone signalling for calls to ISDN ::"));
    lbIsdnDial = label(gbIsdn7, "lbIsdnDial", QStringLiteral("Dial tone : "), true);
    cbIsdnDial = combo(gbIsdn7, "cbIsdnDial", tones);
    lbIsdnRing = label(gbIsdn7, "lbIsdnRing", QStringLiteral("Ring tone : "), true);
    cbIsdnRing = combo(gbIsdn7, "cbIsdnRing", tones);
    lbIsdnBusy = label(gbIsdn7, "lbIsdnBusy", QStringLiteral("Busy tone"), true);
    cbIsdnBusy = combo(gbIsdn7, "cbIsdnBusy", tones);
    {
        QGridLayout* grid = rows(gbIsdn7);
        grid->addWidget(lbIsdnDial, 0, 0);
        grid->addWidget(cbIsdnDial, 0, 1);
        grid->addWidget(lbIsdnRing, 1, 0);
        grid->addWidget(cbIsdnRing, 1, 1);
        grid->addWidget(lbIsdnBusy, 2, 0);
        grid->addWidget(cbIsdnBusy, 2, 1);
        grid->setColumnStretch(0, 1);
    }

    // Numbering plan.
    gbIsdn8 = group(g, "gbIsdn8", QStringLiteral("Numbering plan settings :"));
    lbIsdnCDN = label(gbIsdn8, "lbIsdnCDN", QStringLiteral("Called party number :"), true);
    seIsdnCDN = spin(gbIsdn8, "seIsdnCDN", 0, 127, 0, 50);
    lbIsdnCGN = label(gbIsdn8, "lbIsdnCGN", QStringLiteral("Calling party number :"), true);
    seIsdnCGN = spin(gbIsdn8, "seIsdnCGN", 0, 127, 0, 50);
    SpeedButton2 = make<QPushButton>(gbIsdn8, "SpeedButton2");
    SpeedButton2->setText(QStringLiteral("?"));
    SpeedButton2->setFixedWidth(26);
    {
        QGridLayout* grid = rows(gbIsdn8);
        grid->addWidget(lbIsdnCDN, 0, 0);
        grid->addWidget(seIsdnCDN, 0, 1);
        grid->addWidget(SpeedButton2, 0, 2);
        grid->addWidget(lbIsdnCGN, 1, 0);
        grid->addWidget(seIsdnCGN, 1, 1);
        grid->setRowStretch(2, 1);
        grid->setColumnStretch(0, 1);
    }

    // Digits dialled from ISDN ("G08" values 2 to 4).
    gbIsdn9 = group(g, "gbIsdn9", QStringLiteral("Number of digits dialed from ISDN"));
    lbIsdnMin = label(gbIsdn9, "lbIsdnMin", QStringLiteral("Min numbers from VoIP : "), true);
    seIsdnMin = spin(gbIsdn9, "seIsdnMin", 2, 20, 9);
    lbIsdnMax = label(gbIsdn9, "lbIsdnMax", QStringLiteral("Max numbers from VoIP : "), true);
    seIsdnMax = spin(gbIsdn9, "seIsdnMax", 2, 20, 9);
    lbIsdnWait = label(gbIsdn9, "lbIsdnWait", QStringLiteral("Wait for next digit [s] : "), true);
    seIsdnWait = spin(gbIsdn9, "seIsdnWait", 0, 20, 3);
    lbIsdnHint = label(gbIsdn9, "lbIsdnHint", QStringLiteral("'Max' cannot be lower then 'Min' and vice-versa"), true);
    QPalette red = lbIsdnHint->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lbIsdnHint->setPalette(red);
    lbIsdnHint->hide();
    {
        QGridLayout* grid = rows(gbIsdn9);
        grid->addWidget(lbIsdnMin, 0, 0);
        grid->addWidget(seIsdnMin, 0, 1);
        grid->addWidget(lbIsdnMax, 1, 0);
        grid->addWidget(seIsdnMax, 1, 1);
        grid->addWidget(lbIsdnWait, 2, 0);
        grid->addWidget(seIsdnWait, 2, 1);
        grid->addWidget(lbIsdnHint, 3, 0, 1, 2);
        grid->setRowStretch(4, 1);
        grid->setColumnStretch(0, 1);
    }

    // Progress elements.
    gbIsdn4 = group(g, "gbIsdn4", QStringLiteral("Progress elements numbers :"));
    const QString off = QStringLiteral("(0=off)");
    lbIsdnAck = label(gbIsdn4, "lbIsdnAck", QStringLiteral("Message SETUP_ACKNOWLEDGE :"));
    seIsdnAck = spin(gbIsdn4, "seIsdnAck", 0, 8, 0);
    Label68 = label(gbIsdn4, "Label68", off);
    lbIsdnProc = label(gbIsdn4, "lbIsdnProc", QStringLiteral("Message SETUP_PROCEEDING :"));
    seIsdnProc = spin(gbIsdn4, "seIsdnProc", 0, 8, 0);
    Label69 = label(gbIsdn4, "Label69", off);
    lbIsdnProg = label(gbIsdn4, "lbIsdnProg", QStringLiteral("Message SETUP_PROGRESS :"));
    seIsdnProg = spin(gbIsdn4, "seIsdnProg", 0, 8, 0);
    Label71 = label(gbIsdn4, "Label71", off);
    lbIsdnAlert = label(gbIsdn4, "lbIsdnAlert", QStringLiteral("Message SETUP_ALERTING :"));
    seIsdnAlert = spin(gbIsdn4, "seIsdnAlert", 0, 8, 0);
    Label73 = label(gbIsdn4, "Label73", off);
    {
        QGridLayout* grid = rows(gbIsdn4);
        const std::array<std::array<QWidget*, 3>, 4> lines{{{lbIsdnAck, seIsdnAck, Label68},
                                                            {lbIsdnProc, seIsdnProc, Label69},
                                                            {lbIsdnProg, seIsdnProg, Label71},
                                                            {lbIsdnAlert, seIsdnAlert, Label73}}};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                grid->addWidget(lines[size_t(r)][size_t(c)], r, c);
        grid->setColumnStretch(2, 1);
    }

    // Statistics day and the two option flags.
    lbIsdnDay = label(g, "lbIsdnDay", QStringLiteral("Day of deleting statistics ISDN"));
    seIsdnDay = spin(g, "seIsdnDay", 0, 31, 1);
    cbIsdnReceive = check(g, "cbIsdnReceive", QStringLiteral("Receive dial number from Subaddress"));
    cbIsdnConnectAck = check(g, "cbIsdnConnectAck", QStringLiteral("Don't send ConnectAck on TE"));

    {
        auto* general = new QGridLayout(g);
        general->setContentsMargins(6, 6, 6, 6);
        general->setSpacing(6);
        general->addWidget(gbIsdn1, 0, 0, 1, 3);
        general->addWidget(gbIsdn2, 0, 3, 1, 3);
        general->addWidget(GroupBox3, 1, 0, 1, 2);
        general->addWidget(gbIsdn7, 1, 2, 1, 2);
        general->addWidget(gbIsdn8, 1, 4, 1, 2);
        general->addWidget(gbIsdn9, 2, 0, 1, 2);
        general->addWidget(gbIsdn4, 2, 2, 1, 4);
        auto* day = new QHBoxLayout;
        day->addWidget(lbIsdnDay);
        day->addWidget(seIsdnDay);
        day->addStretch();
        general->addLayout(day, 3, 0, 1, 6);
        general->addWidget(cbIsdnReceive, 4, 0, 1, 3);
        general->addWidget(cbIsdnConnectAck, 4, 3, 1, 3);
        general->setRowStretch(5, 1);
        for (int c = 0; c < 6; ++c)
            general->setColumnStretch(c, 1);
    }

    // Monitoring tab.
    QWidget* m = tsIsdnMonitoring;
    gIsdnMonitoring = group(m, "gIsdnMonitoring", QStringLiteral("BRI ISDN monitoring"));
    lbIsdnBri1 = label(gIsdnMonitoring, "lbIsdnBri1", QStringLiteral("BRI1 (NT)"));
    lbIsdnBri2 = label(gIsdnMonitoring, "lbIsdnBri2", QStringLiteral("BRI2 (TE)"));
    lbIsdnBri1->setFont(bold);
    lbIsdnBri2->setFont(bold);
    cbIsdnKeepBRI11 = check(gIsdnMonitoring, "cbIsdnKeepBRI11", QStringLiteral("Keep always activated 1. layer"));
    cbIsdnKeepBRI12 = check(gIsdnMonitoring, "cbIsdnKeepBRI12", QStringLiteral("Keep always activated 2. layer"));
    cbIsdnSendSms1 = check(gIsdnMonitoring, "cbIsdnSendSms1", QStringLiteral("Send SMS while changing state"));
    cbIsdnKeepBRI21 = check(gIsdnMonitoring, "cbIsdnKeepBRI21", QStringLiteral("Keep always activated 1. layer"));
    cbIsdnKeepBRI22 = check(gIsdnMonitoring, "cbIsdnKeepBRI22", QStringLiteral("Keep always activated 2. layer"));
    cbIsdnSendSms2 = check(gIsdnMonitoring, "cbIsdnSendSms2", QStringLiteral("Send SMS while changing state"));
    lbIsdnDeact =
        label(gIsdnMonitoring, "lbIsdnDeact", QStringLiteral("Timeout while detecting link deactivation"), true);
    sebIsdnDeact = spin(gIsdnMonitoring, "sebIsdnDeact", 0, 65535, 0, 70);
    lbIsdnAct = label(gIsdnMonitoring, "lbIsdnAct", QStringLiteral("Timeout while detecting link activation"), true);
    sebIsdnAct = spin(gIsdnMonitoring, "sebIsdnAct", 0, 65535, 0, 70);

    gbIsdnStateSms = group(gIsdnMonitoring, "gbIsdnStateSms", QStringLiteral("Text of SMS when state is changed"));
    QWidget* s = gbIsdnStateSms;
    lbIsdnStateSms = label(s, "lbIsdnStateSms", QStringLiteral("Text of SMS when state is changed"));
    edIsdnStateSms = make<QLineEdit>(s, "edIsdnStateSms");
    edIsdnStateSms->setMaxLength(63);
    lbIsdnNumbers = label(s, "lbIsdnNumbers", QStringLiteral("Numbers where SMS will be sent to"));
    lbIsdn1Number = label(s, "lbIsdn1Number", QStringLiteral("1. number"));
    edIsdn1Number = edit(s, "edIsdn1Number", 15, 140);
    lbIsdn2Number = label(s, "lbIsdn2Number", QStringLiteral("2. number"));
    edIsdn2Number = edit(s, "edIsdn2Number", 15, 140);
    lbIsdn3Number = label(s, "lbIsdn3Number", QStringLiteral("3. number"));
    edIsdn3Number = edit(s, "edIsdn3Number", 15, 140);
    lbIsdnMonitoringHelp = label(s, "lbIsdnMonitoringHelp", QStringLiteral("Supported variables in text of SMS"));
    mIsdnMonitoringHint = make<QPlainTextEdit>(s, "mIsdnMonitoringHint");
    mIsdnMonitoringHint->setReadOnly(true);
    mIsdnMonitoringHint->setFrameShape(QFrame::NoFrame);
    QPalette memo = mIsdnMonitoringHint->palette();
    memo.setColor(QPalette::Base, memo.color(QPalette::Window));
    mIsdnMonitoringHint->setPalette(memo);
    {
        QGridLayout* grid = rows(s);
        grid->addWidget(lbIsdnStateSms, 0, 0, 1, 3);
        grid->addWidget(edIsdnStateSms, 1, 0, 1, 3);
        grid->addWidget(lbIsdnNumbers, 2, 0, 1, 3);
        grid->addWidget(lbIsdn1Number, 3, 0);
        grid->addWidget(edIsdn1Number, 3, 1);
        grid->addWidget(lbIsdn2Number, 4, 0);
        grid->addWidget(edIsdn2Number, 4, 1);
        grid->addWidget(lbIsdn3Number, 5, 0);
        grid->addWidget(edIsdn3Number, 5, 1);
        grid->addWidget(lbIsdnMonitoringHelp, 6, 0, 1, 3);
        grid->addWidget(mIsdnMonitoringHint, 7, 0, 1, 3);
        grid->setRowStretch(7, 1);
        grid->setColumnStretch(2, 1);
    }

    gbInAliveSms = group(gIsdnMonitoring, "gbInAliveSms", QStringLiteral("Settings of Alive SMS interval"));
    QWidget* a = gbInAliveSms;
    cbInAliveActivate = check(a, "cbInAliveActivate", QStringLiteral("Send Alive SMS"));
    lbInAliveTime = label(a, "lbInAliveTime", QStringLiteral("Interval [hh:mm] :"));
    edInAliveTime = edit(a, "edInAliveTime", 5, 56);
    edInAliveTime->setText(QStringLiteral("00:00"));
    lbInAliveDay = label(a, "lbInAliveDay", QStringLiteral("Day [1-31] :"));
    seInAliveDay = spin(a, "seInAliveDay", 0, 31, 0);
    lbInAliveNum1 = label(a, "lbInAliveNum1", QStringLiteral("1. receiver number"));
    edInAliveNum1 = edit(a, "edInAliveNum1", 15, 140);
    lbInAliveNum2 = label(a, "lbInAliveNum2", QStringLiteral("2. receiver number"));
    edInAliveNum2 = edit(a, "edInAliveNum2", 15, 140);
    lbInAliveNum3 = label(a, "lbInAliveNum3", QStringLiteral("3. receiver number"));
    edInAliveNum3 = edit(a, "edInAliveNum3", 15, 140);
    lbInAliveSmsText = label(a, "lbInAliveSmsText", QStringLiteral("Text of SMS"));
    edInAliveSmsText = make<QLineEdit>(a, "edInAliveSmsText");
    edInAliveSmsText->setMaxLength(63);
    lbInAliveSmsHint =
        label(a, "lbInAliveSmsHint", QStringLiteral("%M      M is replaced by parameter %I27=msn"), true);
    lbInAliveSmsWarning = label(a, "lbInAliveSmsWarning", QString(), true);
    {
        QGridLayout* grid = rows(a);
        grid->addWidget(cbInAliveActivate, 0, 0, 1, 3);
        grid->addWidget(lbInAliveTime, 1, 0);
        grid->addWidget(edInAliveTime, 1, 1);
        grid->addWidget(lbInAliveDay, 2, 0);
        grid->addWidget(seInAliveDay, 2, 1);
        grid->addWidget(lbInAliveNum1, 3, 0);
        grid->addWidget(edInAliveNum1, 3, 1);
        grid->addWidget(lbInAliveNum2, 4, 0);
        grid->addWidget(edInAliveNum2, 4, 1);
        grid->addWidget(lbInAliveNum3, 5, 0);
        grid->addWidget(edInAliveNum3, 5, 1);
        grid->addWidget(lbInAliveSmsText, 6, 0, 1, 3);
        grid->addWidget(edInAliveSmsText, 7, 0, 1, 3);
        grid->addWidget(lbInAliveSmsHint, 8, 0, 1, 3);
        grid->addWidget(lbInAliveSmsWarning, 9, 0, 1, 3);
        grid->setRowStretch(10, 1);
        grid->setColumnStretch(2, 1);
    }
    enableAliveSmsControls(false);

    {
        auto* grid = new QGridLayout(gIsdnMonitoring);
        grid->setContentsMargins(8, 6, 8, 6);
        grid->setVerticalSpacing(2);
        grid->addWidget(lbIsdnBri1, 0, 0);
        grid->addWidget(lbIsdnBri2, 0, 1);
        grid->addWidget(cbIsdnKeepBRI11, 1, 0);
        grid->addWidget(cbIsdnKeepBRI21, 1, 1);
        grid->addWidget(cbIsdnKeepBRI12, 2, 0);
        grid->addWidget(cbIsdnKeepBRI22, 2, 1);
        grid->addWidget(cbIsdnSendSms1, 3, 0);
        grid->addWidget(cbIsdnSendSms2, 3, 1);
        auto* times = new QGridLayout;
        times->addWidget(lbIsdnDeact, 0, 0);
        times->addWidget(sebIsdnDeact, 0, 1);
        times->addWidget(lbIsdnAct, 1, 0);
        times->addWidget(sebIsdnAct, 1, 1);
        times->setColumnStretch(0, 1);
        grid->addLayout(times, 4, 0, 1, 2);
        grid->addWidget(gbIsdnStateSms, 5, 0);
        grid->addWidget(gbInAliveSms, 5, 1);
        grid->setRowStretch(5, 1);
        grid->setColumnStretch(0, 1);
        grid->setColumnStretch(1, 1);
        auto* tab = new QVBoxLayout(m);
        tab->setContentsMargins(6, 6, 6, 6);
        tab->addWidget(gIsdnMonitoring);
    }

    sbIsdnSave = button(page, "sbIsdnSave", QStringLiteral("Save to gate"), 8, 553);
    sbIsdnLoad = button(page, "sbIsdnLoad", QStringLiteral("Load from gate"), 146, 553);
    sbIsdnDefault = button(page, "sbIsdnDefault", QStringLiteral("Defaults"), 284, 553);
    sbIsdnSaveFile = button(page, "sbIsdnSaveFile", QStringLiteral("Save to file"), 422, 553);
    addPageButtons(pIsdn, {sbIsdnSave, sbIsdnLoad, sbIsdnDefault, sbIsdnSaveFile});

    // Key filters.
    for (QSpinBox* sp : {seIsdnDay, seIsdnMin, seIsdnMax, seIsdnWait, seIsdnDigits, seIsdnTEMan, seIsdnNTMan})
        DigitKeyFilter::install(sp);
    EntryKeyFilter::install(edIsdnMsnNumber, kDigitChars);
    installCommaGuard(edIsdnMsnNumber);
    for (QLineEdit* e : {edIsdn1Number, edIsdn2Number, edIsdn3Number, edInAliveNum1, edInAliveNum2, edInAliveNum3}) {
        EntryKeyFilter::install(e, kDialChars);
        installCommaGuard(e);
    }
    OvertypeKeyFilter::install(edInAliveTime, OvertypeKeyFilter::Time);

    // Handlers. Lists report only the user's choices; spin edits, edits and check boxes report code writes too.
    QObject::connect(cbIsdnNTmode, &QComboBox::activated, cbIsdnNTmode, [this] { cbIsdnNTmodeChange(); });
    QObject::connect(cbIsdnTEmode, &QComboBox::activated, cbIsdnTEmode, [this] { cbIsdnTEmodeChange(); });
    QObject::connect(cbIsdnInterface, &QComboBox::activated, cbIsdnInterface, [this] { cbIsdnInterfaceChange(); });
    QObject::connect(cbIsdnDialingMode, &QComboBox::activated, cbIsdnDialingMode,
                     [this] { cbIsdnDialingModeChange(); });
    for (QComboBox* c : {cbIsdnDial, cbIsdnRing, cbIsdnBusy})
        QObject::connect(c, &QComboBox::activated, c, [] { markIsdnChanged(); });
    QObject::connect(seIsdnNTMan, &QSpinBox::valueChanged, seIsdnNTMan, [this] { seIsdnNTManChange(); });
    QObject::connect(seIsdnTEMan, &QSpinBox::valueChanged, seIsdnTEMan, [this] { seIsdnTEManChange(); });
    // Editing a refused field again takes its red mark away.
    for (QSpinBox* sp : {seIsdnMin, seIsdnMax, seIsdnWait})
        QObject::connect(sp, &QSpinBox::textChanged, sp, [sp] { sp->setPalette(QPalette()); });
    for (QSpinBox* sp : {seIsdnMin, seIsdnMax})
        QObject::connect(sp, &QSpinBox::valueChanged, sp, [this] {
            showIsdnDigitsHint();
            markIsdnChanged();
        });
    for (QSpinBox* sp : {seIsdnWait, seIsdnAck, seIsdnProc, seIsdnProg, seIsdnAlert, seIsdnDay, seIsdnDigits, seIsdnCDN,
                         seIsdnCGN, sebIsdnDeact, sebIsdnAct, seInAliveDay})
        QObject::connect(sp, &QSpinBox::valueChanged, sp, [] { markIsdnChanged(); });
    for (QCheckBox* c : {cbIsdnReceive, cbIsdnConnectAck, cbIsdnKeepBRI11, cbIsdnKeepBRI12, cbIsdnSendSms1,
                         cbIsdnKeepBRI21, cbIsdnKeepBRI22, cbIsdnSendSms2})
        QObject::connect(c, &QCheckBox::toggled, c, [] { markIsdnChanged(); });
    QObject::connect(cbIsdnDisaTone, &QCheckBox::toggled, cbIsdnDisaTone, [this] { cbIsdnDisaToneClick(); });
    QObject::connect(cbInAliveActivate, &QCheckBox::toggled, cbInAliveActivate, [this] { cbInAliveActivateClick(); });
    for (QLineEdit* e : {edIsdnMsnNumber, edIsdnStateSms, edIsdn1Number, edIsdn2Number, edIsdn3Number, edInAliveTime,
                         edInAliveNum1, edInAliveNum2, edInAliveNum3, edInAliveSmsText})
        QObject::connect(e, &QLineEdit::textChanged, e, [] { markIsdnChanged(); });
    QObject::connect(SpeedButton2, &QPushButton::clicked, SpeedButton2, [this] { SpeedButton2Click(); });

    QObject::connect(sbIsdnLoad, &QPushButton::clicked, sbIsdnLoad, [this] { sbIsdnLoadClick(); });
    QObject::connect(sbIsdnSave, &QPushButton::clicked, sbIsdnSave, [this] { sbIsdnSaveClick(); });
    QObject::connect(sbIsdnDefault, &QPushButton::clicked, sbIsdnDefault, [this] { sbIsdnDefaultClick(); });
    QObject::connect(sbIsdnSaveFile, &QPushButton::clicked, sbIsdnSaveFile, [this] { sbIsdnSaveFileClick(); });

    fMain->addModelLayoutStep([this](int model) { setModelLayoutIsdn(model); });
}

// ---- Model layout

void IsdnPage::setModelLayoutIsdn(int model)
{
    const Tlabels& t = labelTexts;
    // The BRI 2 group stands beside BRI 1, or alone in the middle of the row.
    auto* general = qobject_cast<QGridLayout*>(tsIsdnGeneral->layout());
    general->removeWidget(gbIsdn2);
    if (model == 0)
        general->addWidget(gbIsdn2, 0, 3, 1, 3);
    else
        general->addWidget(gbIsdn2, 0, 1, 1, 4);
    if (model == 0) {
        gbIsdn1->show();
        setIsdnPort2Caption(t, model);
        cbIsdnInterface->hide();
        lbIsdnInterface2->show();
        const int index = cbIsdnTEmode->currentIndex();
        if (cbIsdnTEmode->count() == 2) {
            cbIsdnTEmode->insertItem(0, labelOr(t, 906, QStringLiteral("Disabled")));
            cbIsdnTEmode->insertItem(1, labelOr(t, 907, QStringLiteral("External sync")));
        }
        cbIsdnTEmode->setCurrentIndex(index);
        lbIsdnMsn->setEnabled(false);
        edIsdnMsnNumber->setEnabled(false);
        edIsdnMsnNumber->clear();
        cbIsdnDisaTone->setEnabled(cbIsdnTEmode->currentIndex() >= 2);
        cbIsdnDisaTone->setChecked(false);

        for (QWidget* w : {static_cast<QWidget*>(cbIsdnKeepBRI21), static_cast<QWidget*>(cbIsdnKeepBRI22),
                           static_cast<QWidget*>(cbIsdnSendSms2), static_cast<QWidget*>(lbIsdnBri2)})
            w->show();
        setIsdnPortHeads(t, model);
    } else {
        gbIsdn1->hide();
        setIsdnPort2Caption(t, model);
        cbIsdnInterface->show();
        lbIsdnInterface2->hide();
        const int index = cbIsdnTEmode->currentIndex();
        if (cbIsdnTEmode->count() == 4) {
            cbIsdnTEmode->removeItem(0);
            cbIsdnTEmode->removeItem(0);
            cbIsdnTEmode->setCurrentIndex(0);
        } else {
            cbIsdnTEmode->setCurrentIndex(index);
        }
        edIsdnMsnNumber->setEnabled(false);
        lbIsdnMsn->setEnabled(false);
        edIsdnMsnNumber->clear();
        cbIsdnDisaTone->setEnabled(false);
        if (cbIsdnTEmode->currentIndex() == 1) {
            seIsdnTEMan->setEnabled(false);
            seIsdnTEMan->setValue(64);
        }

        for (QWidget* w : {static_cast<QWidget*>(cbIsdnKeepBRI21), static_cast<QWidget*>(cbIsdnKeepBRI22),
                           static_cast<QWidget*>(cbIsdnSendSms2), static_cast<QWidget*>(lbIsdnBri2)})
            w->hide();
        setIsdnPortHeads(t, model);
    }
}

// The model layout and the label pass both write these captions, so that a change of model and a change of
// language leave the same text.
void IsdnPage::setIsdnPort2Caption(const Tlabels& t, int model)
{
    if (model == 0)
        gbIsdn2->setTitle(labelOr(t, 743, QStringLiteral("ISDN BRI 2 port settings")));
    else
        gbIsdn2->setTitle(labelOr(t, 871, QStringLiteral("ISDN BRI port settings")));
}

// No blank between the entry and the port number; with one port the second head is hidden and left alone.
void IsdnPage::setIsdnPortHeads(const Tlabels& t, int model)
{
    const QString bri = labelOr(t, 935, QStringLiteral("BRI"));
    if (model == 0) {
        lbIsdnBri1->setText(bri + QStringLiteral("1 (NT)"));
        lbIsdnBri2->setText(bri + QStringLiteral("2 (TE)"));
    } else {
        lbIsdnBri1->setText(bri);
    }
}

// ---- Label steps

void IsdnPage::setLabelsIsdn1(const Tlabels& t)
{
    lbIsdnDay->setText(labelOr(t, 263, QStringLiteral("Day of deleting statistics ISDN")));
    lbIsdnInterfaceCap1->setText(labelOr(t, 840, QStringLiteral("Interface :")));
    lbIsdnInterfaceCap2->setText(labelOr(t, 840, QStringLiteral("Interface :")));
    cbIsdnReceive->setText(labelOr(t, 872, QStringLiteral("Receive dial number from Subaddress")));
    lbIsdnCDN->setText(labelOr(t, 873, QStringLiteral("Called party number :")));
    lbIsdnCGN->setText(labelOr(t, 874, QStringLiteral("Calling party number :")));
}

void IsdnPage::setLabelsIsdn2(const Tlabels& t)
{
    setFrameButtonTexts(t, sbIsdnSave, sbIsdnLoad, sbIsdnDefault, sbIsdnSaveFile);
    for (QLabel* l : {Label71, Label73, Label68, Label69})
        l->setText(labelOr(t, 902, QStringLiteral("(0=off)")));
    lbIsdnDial->setText(labelOr(t, 296, QStringLiteral("Dial tone : ")));
    lbIsdnRing->setText(labelOr(t, 297, QStringLiteral("Ring tone : ")));
    const QStringList tones{labelOr(t, 298, QStringLiteral("None")), labelOr(t, 299, QStringLiteral("European")),
                            labelOr(t, 300, QStringLiteral("Czech")), labelOr(t, 301, QStringLiteral("Hungarian")),
                            labelOr(t, 307, QStringLiteral("English"))};
    for (QComboBox* c : {cbIsdnDial, cbIsdnRing, cbIsdnBusy})
        setItems(c, tones);
}

void IsdnPage::setLabelsIsdn3(const Tlabels& t)
{
    lbIsdnNTMan->setText(labelOr(t, 841, QStringLiteral("TEI managament")));
    lbIsdnTEMan->setText(labelOr(t, 841, QStringLiteral("TEI managament")));
    lbIsdnDialingMode->setText(labelOr(t, 842, QStringLiteral("Dialing mode :")));
    lbIsdnDigits->setText(labelOr(t, 843, QStringLiteral("Digits in setup :")));
    lbIsdnMsn->setText(labelOr(t, 844, QStringLiteral("MSN number :")));
    lbIsdnBusy->setText(labelOr(t, 889, QStringLiteral("Busy tone")));
    lbIsdnDynamicTei1->setText(labelOr(t, 904, QStringLiteral("(0-63,64=dynamic TEI)")));
    lbIsdnDynamicTei2->setText(labelOr(t, 904, QStringLiteral("(0-63,64=dynamic TEI)")));
    cbIsdnDisaTone->setText(labelOr(t, 850, QStringLiteral("DISA dial tone")));
    cbIsdnConnectAck->setText(labelOr(t, 610, QStringLiteral("Don't send ConnectAck on TE")));
    gbIsdn7->setTitle(labelOr(t, 611, QStringLiteral("Tone signalling for calls to ISDN ::")));
    gbIsdn8->setTitle(labelOr(t, 612, QStringLiteral("Numbering plan settings :")));
    gbIsdn1->setTitle(labelOr(t, 742, QStringLiteral("ISDN BRI 1 port settings :")));
    const QString p2p = labelOr(t, 903, QStringLiteral("Point-to-point"));
    const QString p2mp = labelOr(t, 908, QStringLiteral("Point-to-multipoint"));
    setIsdnPort2Caption(t, gatewayModel);
    if (gatewayModel == 0) {
        setItems(cbIsdnTEmode, {labelOr(t, 906, QStringLiteral("Disabled")),
                                labelOr(t, 907, QStringLiteral("External sync")), p2p, p2mp});
    } else {
        setItems(cbIsdnTEmode, {p2p, p2mp});
    }
    setItems(cbIsdnNTmode, {p2p, p2mp});
    lbIsdnNTmode->setText(labelOr(t, 744, QStringLiteral("Mode :")));
    lbIsdnTEmode->setText(labelOr(t, 744, QStringLiteral("Mode :")));
    gbIsdn4->setTitle(labelOr(t, 599, QStringLiteral("Progress elements numbers :")));
    lbIsdnAck->setText(labelOr(t, 600, QStringLiteral("Message SETUP_ACKNOWLEDGE :")));
    lbIsdnProc->setText(labelOr(t, 601, QStringLiteral("Message SETUP_PROCEEDING :")));
    lbIsdnProg->setText(labelOr(t, 602, QStringLiteral("Message SETUP_PROGRESS :")));
    lbIsdnAlert->setText(labelOr(t, 603, QStringLiteral("Message SETUP_ALERTING :")));
}

void IsdnPage::setLabelsIsdnMonitoring(const Tlabels& t)
{
    gIsdnMonitoring->setTitle(labelOr(t, 928, QStringLiteral("BRI ISDN monitoring")));
    cbIsdnKeepBRI11->setText(labelOr(t, 929, QStringLiteral("Keep always activated 1. layer")));
    cbIsdnKeepBRI12->setText(labelOr(t, 930, QStringLiteral("Keep always activated 2. layer")));
    cbIsdnSendSms1->setText(labelOr(t, 931, QStringLiteral("Send SMS while changing state")));
    cbIsdnKeepBRI21->setText(labelOr(t, 929, QStringLiteral("Keep always activated 1. layer")));
    cbIsdnKeepBRI22->setText(labelOr(t, 930, QStringLiteral("Keep always activated 2. layer")));
    cbIsdnSendSms2->setText(labelOr(t, 931, QStringLiteral("Send SMS while changing state")));
    lbIsdnDeact->setText(labelOr(t, 932, QStringLiteral("Timeout while detecting link deactivation")));
    lbIsdnAct->setText(labelOr(t, 933, QStringLiteral("Timeout while detecting link activation")));
    lbIsdnStateSms->setText(labelOr(t, 934, QStringLiteral("Text of SMS when state is changed")));
    gbIsdnStateSms->setTitle(labelOr(t, 934, QStringLiteral("Text of SMS when state is changed")));
    lbIsdnNumbers->setText(labelOr(t, 942, QStringLiteral("Numbers where SMS will be sent to")));
    const QString number = labelOr(t, 943, QStringLiteral("number"));
    lbIsdn1Number->setText(QStringLiteral("1. ") + number);
    lbIsdn2Number->setText(QStringLiteral("2. ") + number);
    lbIsdn3Number->setText(QStringLiteral("3. ") + number);
    mIsdnMonitoringHint->clear();
    QStringList lines;
    for (int k : {937, 938, 939})
        lines << labelAt(t, k);
    lines << QString();
    for (int k : {944, 945, 946})
        lines << labelAt(t, k);
    mIsdnMonitoringHint->setPlainText(lines.join(QLatin1Char('\n')));
    mIsdnMonitoringHint->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    pcIsdn->setTabText(0, labelOr(t, 947, QStringLiteral("General")));
    pcIsdn->setTabText(1, labelOr(t, 948, QStringLiteral("Monitoring")));
    lbIsdnMonitoringHelp->setText(labelOr(t, 940, QStringLiteral("Supported variables in text of SMS")));
    gbInAliveSms->setTitle(labelOr(t, 961, QStringLiteral("Settings of Alive SMS interval")));
    cbInAliveActivate->setText(labelOr(t, 962, QStringLiteral("Send Alive SMS")));
    lbInAliveTime->setText(labelOr(t, 963, QStringLiteral("Interval [hh:mm] :")));
    lbInAliveDay->setText(labelOr(t, 964, QStringLiteral("Day [1-31] :")));
    const QString receiver = labelOr(t, 965, QStringLiteral("%d. receiver number"));
    lbInAliveNum1->setText(formatTextInt(receiver, 1));
    lbInAliveNum2->setText(formatTextInt(receiver, 2));
    lbInAliveNum3->setText(formatTextInt(receiver, 3));
    lbInAliveSmsText->setText(labelOr(t, 966, QStringLiteral("Text of SMS")));
    lbInAliveSmsHint->setText(labelOr(t, 967, QStringLiteral("%M      M is replaced by parameter %I27=msn")));
    lbInAliveSmsWarning->setText(labelAt(t, 981));
    setIsdnPortHeads(t, gatewayModel);
}

void IsdnPage::setLabelsIsdn4(const Tlabels& t)
{
    lbIsdnMin->setText(labelOr(t, 292, QStringLiteral("Min numbers from VoIP : ")));
    lbIsdnMax->setText(labelOr(t, 293, QStringLiteral("Max numbers from VoIP : ")));
    lbIsdnWait->setText(labelOr(t, 294, QStringLiteral("Wait for next digit [s] : ")));
    lbIsdnHint->setText(labelOr(t, 949, QStringLiteral("'Max' cannot be lower then 'Min' and vice-versa")));
}

void IsdnPage::setLabelsIsdn5(const Tlabels& t)
{
    gbIsdn9->setTitle(labelOr(t, 830, QStringLiteral("Number of digits dialed from ISDN")));
}

// ---- Control handlers

void IsdnPage::cbIsdnNTmodeChange()
{
    markIsdnChanged();
    if (isdnFilling)
        return;
    if (cbIsdnTEmode->currentIndex() >= 2)
        cbIsdnTEmode->setCurrentIndex(cbIsdnNTmode->currentIndex() + 2);
    const bool multipoint = cbIsdnNTmode->currentIndex() == 1;
    lastNtTei = multipoint ? 64 : 0;
    for (QSpinBox* sp : {seIsdnNTMan, seIsdnTEMan}) {
        sp->setValue(lastNtTei);
        sp->setEnabled(!multipoint);
    }
    lastNtTei = multipoint ? 64 : 0; // the spin edits' own handlers ran in between
}

void IsdnPage::cbIsdnTEmodeChange()
{
    markIsdnChanged();
    if (isdnFilling)
        return;
    const int mode = cbIsdnTEmode->currentIndex();
    if (gatewayModel == 0) {
        const bool pointMode = mode >= 2;
        if (pointMode) {
            cbIsdnNTmode->setCurrentIndex(mode - 2);
            const bool multipoint = mode == 3;
            const qint32 keep = lastNtTei;
            for (QSpinBox* sp : {seIsdnNTMan, seIsdnTEMan}) {
                sp->setValue(multipoint ? 64 : 0);
                sp->setEnabled(!multipoint);
            }
            lastNtTei = keep;
        }
        for (QWidget* w : {static_cast<QWidget*>(cbIsdnDisaTone), static_cast<QWidget*>(lbIsdnMsn),
                           static_cast<QWidget*>(edIsdnMsnNumber)})
            w->setEnabled(pointMode);
        if (!cbIsdnDisaTone->isEnabled())
            cbIsdnDisaTone->setChecked(false);
    } else {
        for (QWidget* w : {static_cast<QWidget*>(cbIsdnDisaTone), static_cast<QWidget*>(lbIsdnMsn),
                           static_cast<QWidget*>(edIsdnMsnNumber)})
            w->setEnabled(false);
        const bool multipoint = mode == 1;
        for (QSpinBox* sp : {seIsdnNTMan, seIsdnTEMan}) {
            sp->setValue(multipoint ? 64 : 0);
            sp->setEnabled(!multipoint);
        }
    }
}

void IsdnPage::seIsdnNTManChange()
{
    if (lastNtTei == 64 && seIsdnNTMan->value() == 63) {
        // Stepping down from the dynamic TEI leaves point-to-multipoint.
        if (cbIsdnNTmode->currentIndex() == 1)
            cbIsdnNTmode->setCurrentIndex(0);
        cbIsdnNTmodeChange();
    }
    seIsdnTEMan->setValue(seIsdnNTMan->value());
    lastNtTei = seIsdnNTMan->value();
    markIsdnChanged();
}

void IsdnPage::seIsdnTEManChange()
{
    seIsdnNTMan->setValue(seIsdnTEMan->value());
    seIsdnNTManChange();
    markIsdnChanged();
}

void IsdnPage::cbIsdnInterfaceChange()
{
    if (isdnFilling)
        return;
    if (gatewayModel == 1) {
        const bool te = cbIsdnInterface->currentIndex() == 1;
        lbIsdnMsn->setEnabled(te);
        edIsdnMsnNumber->setEnabled(te);
        cbIsdnDisaTone->setEnabled(te);
        if (!te)
            cbIsdnDisaTone->setChecked(false);
        cbIsdnDisaToneClick();
    }
    markIsdnChanged();
}

void IsdnPage::cbIsdnDisaToneClick()
{
    if (!isdnFilling)
        markIsdnChanged();
}

void IsdnPage::cbIsdnDialingModeChange()
{
    const bool enblock = cbIsdnDialingMode->currentIndex() == 1;
    lbIsdnDigits->setEnabled(enblock);
    seIsdnDigits->setEnabled(enblock);
    if (enblock) {
        if (seIsdnDigits->minimum() == 0)
            seIsdnDigits->setMinimum(1);
        seIsdnDigits->setValue(20);
    } else {
        seIsdnDigits->setMinimum(0);
        seIsdnDigits->setValue(0);
    }
    markIsdnChanged();
}

void IsdnPage::enableAliveSmsControls(bool enabled)
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{edInAliveTime, lbInAliveTime, lbInAliveDay, seInAliveDay, lbInAliveNum1,
                                         lbInAliveNum2, lbInAliveNum3, edInAliveNum1, edInAliveNum2, edInAliveNum3,
                                         edInAliveSmsText, lbInAliveSmsText, lbInAliveSmsHint, lbInAliveSmsWarning})
        w->setEnabled(enabled);
}

void IsdnPage::cbInAliveActivateClick()
{
    markIsdnChanged();
    const bool on = cbInAliveActivate->isChecked();
    enableAliveSmsControls(on);
    if (on) {
        if (seInAliveDay->value() == 0)
            seInAliveDay->setValue(1);
        seInAliveDay->setMinimum(1);
    } else {
        seInAliveDay->setMinimum(0);
    }
}

void IsdnPage::SpeedButton2Click()
{
    TfQuestionMark::showHelpList(TfQuestionMark::NumberingPlan);
}

void IsdnPage::showIsdnDigitsHint()
{
    lbIsdnHint->setVisible(seIsdnMin->value() > seIsdnMax->value());
}

// ---- Image

void IsdnPage::isdnToRecord(TIsdn& i) const
{
    if (gatewayModel == 0) {
        i.tei = seIsdnNTMan->value();
        i.portMode = position(cbIsdnNTmode);
        const int mode = position(cbIsdnTEmode);
        i.interfaceMode = mode == 0                     ? QStringLiteral("NT/O")
                          : mode == 1                   ? QStringLiteral("NT/S")
                          : cbIsdnDisaTone->isChecked() ? QStringLiteral("NT/E")
                                                        : QStringLiteral("NT");
    } else {
        i.interfaceMode = cbIsdnInterface->currentText();
        if (i.interfaceMode == QLatin1String("TE"))
            i.interfaceMode += cbIsdnDisaTone->isChecked() ? QStringLiteral("/E") : QStringLiteral("/T");
        i.tei = seIsdnTEMan->value();
        i.portMode = position(cbIsdnTEmode);
    }
    i.msn = edIsdnMsnNumber->text();
    i.setupAckProgress = seIsdnAck->value();
    i.callProceedingProgress = seIsdnProc->value();
    i.progressProgress = seIsdnProg->value();
    i.alertingProgress = seIsdnAlert->value();
    i.setupDigits = cbIsdnDialingMode->currentIndex() != 0 ? seIsdnDigits->value() : 0;
    i.flags = (cbIsdnReceive->isChecked() ? 4 : 0) + (cbIsdnConnectAck->isChecked() ? 16 : 0);
    i.dialTone = position(cbIsdnDial);
    i.ringTone = position(cbIsdnRing);
    i.busyTone = position(cbIsdnBusy);
    i.cdnPlan = seIsdnCDN->value();
    i.cgnPlan = seIsdnCGN->value();
    i.statsDay = seIsdnDay->value();
    i.minDigits = seIsdnMin->value();
    i.maxDigits = seIsdnMax->value();
    i.nextDigitWait = seIsdnWait->value();
    if (gatewayModel == 0) {
        i.portMask1 = portMask(cbIsdnKeepBRI11, cbIsdnKeepBRI12, cbIsdnSendSms1);
        i.portMask2 = portMask(cbIsdnKeepBRI21, cbIsdnKeepBRI22, cbIsdnSendSms2);
    } else {
        i.portMask1 = 0;
        i.portMask2 = portMask(cbIsdnKeepBRI11, cbIsdnKeepBRI12, cbIsdnSendSms1);
    }
    i.deactivationTimeout = sebIsdnDeact->value();
    i.activationTimeout = sebIsdnAct->value();
    i.stateSmsText = edIsdnStateSms->text();
    i.stateSmsNumbers = {edIsdn1Number->text(), edIsdn2Number->text(), edIsdn3Number->text()};
    i.aliveNumbers = {edInAliveNum1->text(), edInAliveNum2->text(), edInAliveNum3->text()};
    i.aliveTime = edInAliveTime->text();
    i.aliveDay = cbInAliveActivate->isChecked() ? seInAliveDay->value() : 0;
    i.aliveSmsText = edInAliveSmsText->text();
}

void IsdnPage::isdnSaveFile()
{
    isdnToRecord(GateConfig.isdn);
}

void IsdnPage::isdnLoadFile()
{
    const FlagKeeper keepFlag; // the Default button sets it; a reread of the gate file leaves it
    const TIsdn& i = GateConfig.isdn;
    isdnFilling = true;
    cbIsdnNTmode->setCurrentIndex(qBound(0, i.portMode, cbIsdnNTmode->count() - 1));
    if (gatewayModel == 0) {
        lbIsdnInterface1->setText(QStringLiteral("NT"));
        lbIsdnInterface2->setText(QStringLiteral("TE"));
        for (QWidget* w : {static_cast<QWidget*>(cbIsdnDisaTone), static_cast<QWidget*>(edIsdnMsnNumber),
                           static_cast<QWidget*>(lbIsdnMsn)})
            w->setEnabled(false);
        cbIsdnDisaTone->setChecked(i.interfaceMode == QLatin1String("NT/E"));
        edIsdnMsnNumber->setText(i.msn);
        if (i.interfaceMode == QLatin1String("NT") || i.interfaceMode == QLatin1String("NT/E"))
            for (QWidget* w : {static_cast<QWidget*>(cbIsdnDisaTone), static_cast<QWidget*>(edIsdnMsnNumber),
                               static_cast<QWidget*>(lbIsdnMsn)})
                w->setEnabled(true);
        cbIsdnTEmode->setCurrentIndex(i.interfaceMode == QLatin1String("NT/O")   ? 0
                                      : i.interfaceMode == QLatin1String("NT/S") ? 1
                                                                                 : 2);
        setPortMask(i.portMask1, cbIsdnKeepBRI11, cbIsdnKeepBRI12, cbIsdnSendSms1);
        setPortMask(i.portMask2, cbIsdnKeepBRI21, cbIsdnKeepBRI22, cbIsdnSendSms2);
    } else {
        if (i.interfaceMode.contains(QLatin1String("TE"))) {
            cbIsdnInterface->setCurrentIndex(1);
            cbIsdnDisaTone->setEnabled(true);
        } else if (i.interfaceMode.contains(QLatin1String("NT"))) {
            cbIsdnInterface->setCurrentIndex(0);
            cbIsdnDisaTone->setEnabled(false);
            cbIsdnDisaTone->setChecked(false);
        }
        const bool withMsn = i.interfaceMode.contains(QLatin1String("/E"));
        lbIsdnMsn->setEnabled(withMsn);
        edIsdnMsnNumber->setEnabled(withMsn);
        edIsdnMsnNumber->clear();
        if (withMsn) {
            edIsdnMsnNumber->setText(i.msn);
            cbIsdnDisaTone->setChecked(true);
        } else if (i.interfaceMode.contains(QLatin1String("/T"))) {
            cbIsdnDisaTone->setChecked(false);
        }
        cbIsdnTEmode->setCurrentIndex(qBound(0, i.portMode, cbIsdnTEmode->count() - 1));
        setPortMask(i.portMask2, cbIsdnKeepBRI11, cbIsdnKeepBRI12, cbIsdnSendSms1);
        setPortMask(0, cbIsdnKeepBRI21, cbIsdnKeepBRI22, cbIsdnSendSms2);
    }
    sebIsdnDeact->setValue(i.deactivationTimeout);
    sebIsdnAct->setValue(i.activationTimeout);
    edIsdnStateSms->setText(i.stateSmsText);
    edIsdn1Number->setText(i.stateSmsNumbers[0]);
    edIsdn2Number->setText(i.stateSmsNumbers[1]);
    edIsdn3Number->setText(i.stateSmsNumbers[2]);
    const bool overlap = i.setupDigits == 0;
    seIsdnDigits->setMinimum(overlap ? 0 : 1);
    seIsdnDigits->setEnabled(!overlap);
    cbIsdnDialingMode->setCurrentIndex(overlap ? 0 : 1);
    lbIsdnDigits->setEnabled(!overlap);
    seIsdnDigits->setValue(i.setupDigits);
    cbIsdnReceive->setChecked(i.flags & 4);
    cbIsdnConnectAck->setChecked(i.flags & 16);
    seIsdnAck->setValue(i.setupAckProgress);
    seIsdnProc->setValue(i.callProceedingProgress);
    seIsdnProg->setValue(i.progressProgress);
    seIsdnAlert->setValue(i.alertingProgress);
    cbIsdnDial->setCurrentIndex(qBound(0, i.dialTone, cbIsdnDial->count() - 1));
    cbIsdnRing->setCurrentIndex(qBound(0, i.ringTone, cbIsdnRing->count() - 1));
    cbIsdnBusy->setCurrentIndex(qBound(0, i.busyTone, cbIsdnBusy->count() - 1));
    seIsdnCDN->setValue(i.cdnPlan);
    seIsdnCGN->setValue(i.cgnPlan);
    seIsdnDay->setValue(i.statsDay);
    cbIsdnNTmode->setCurrentIndex(qBound(0, i.portMode, cbIsdnNTmode->count() - 1));
    if (gatewayModel == 0) {
        if (i.interfaceMode == QLatin1String("NT") || i.interfaceMode == QLatin1String("NT/E") ||
            i.interfaceMode.contains(QLatin1String("TE")))
            cbIsdnTEmode->setCurrentIndex(cbIsdnNTmode->currentIndex() + 2);
    } else {
        cbIsdnTEmode->setCurrentIndex(qBound(0, i.portMode, cbIsdnTEmode->count() - 1));
    }
    const bool multipoint = cbIsdnNTmode->currentIndex() == 1;
    for (QSpinBox* sp : {seIsdnTEMan, seIsdnNTMan}) {
        sp->setEnabled(!multipoint);
        sp->setValue(multipoint ? 64 : i.tei);
    }
    isdnFilling = false;

    seIsdnMin->setValue(i.minDigits);
    seIsdnMax->setValue(i.maxDigits);
    seIsdnWait->setValue(i.nextDigitWait);
    const bool alive = i.aliveDay > 0;
    cbInAliveActivate->setChecked(alive);
    enableAliveSmsControls(alive);
    edInAliveNum1->setText(i.aliveNumbers[0]);
    edInAliveNum2->setText(i.aliveNumbers[1]);
    edInAliveNum3->setText(i.aliveNumbers[2]);
    edInAliveTime->setText(i.aliveTime);
    seInAliveDay->setMinimum(alive ? 1 : 0);
    seInAliveDay->setValue(i.aliveDay);
    edInAliveSmsText->setText(i.aliveSmsText);
}
