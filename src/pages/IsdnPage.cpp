// The ISDN page: its controls, their handlers, the model layout, the label steps and the copies to and from
// the image. The exchanges with the gateway are in IsdnPageGateway.cpp.
#include "pages/IsdnPage.h"

#include "config/Parametres.h"
#include "link/LinkState.h"
#include "pages/EntryFilters.h"
#include "pages/PageRuns.h"
#include "pages/TfQuestionMark.h"
#include "texts/LabelRule.h"
#include "texts/TextFormat.h"
#include "ui/KeyFilters.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>

namespace {

template <typename W> W* place(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h = 17)
{
    auto* l = place<QLabel>(parent, name, x, y, w, h);
    l->setText(caption);
    return l;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* g = place<QGroupBox>(parent, name, x, y, w, h);
    g->setTitle(caption);
    return g;
}

QSpinBox* spin(QWidget* parent, const char* name, int min, int max, int value, int x, int y, int w = 64)
{
    auto* s = place<QSpinBox>(parent, name, x, y, w, 22);
    s->setRange(min, max);
    s->setValue(value);
    return s;
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& items, int x, int y, int w)
{
    auto* c = place<QComboBox>(parent, name, x, y, w, 22);
    c->addItems(items);
    c->setCurrentIndex(0);
    return c;
}

QCheckBox* check(QWidget* parent, const char* name, const QString& caption, int x, int y, int w)
{
    auto* c = place<QCheckBox>(parent, name, x, y, w, 20);
    c->setText(caption);
    return c;
}

QLineEdit* edit(QWidget* parent, const char* name, int maxLength, int x, int y, int w)
{
    auto* e = place<QLineEdit>(parent, name, x, y, w, 22);
    e->setMaxLength(maxLength);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = 130)
{
    auto* b = place<QPushButton>(parent, name, x, y, w, 27);
    b->setText(caption);
    return b;
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

// Left edges of the BRI 2 group in the two layouts.
constexpr int kPort2LeftTwoPorts = 324;
constexpr int kPort2LeftOnePort = 168;

} // namespace

void IsdnPage::buildIsdnPage(QWidget* host)
{
    pIsdn = addTopicPage(host, "pIsdn", 584);
    registerPage(PageId::Isdn, isdnFrame());
    QWidget* page = pIsdn->widget();
    page->setMinimumSize(900, 640);

    pcIsdn = place<QTabWidget>(page, "pcIsdn", 8, 8, 884, 584);
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
    gbIsdn1 = group(g, "gbIsdn1", QStringLiteral("ISDN BRI 1 port settings :"), 8, 8, 310, 184);
    lbIsdnInterfaceCap1 = label(gbIsdn1, "lbIsdnInterfaceCap1", QStringLiteral("Interface :"), 10, 26, 120);
    lbIsdnInterface1 = label(gbIsdn1, "lbIsdnInterface1", QStringLiteral("NT"), 140, 26, 60);
    QFont bold = lbIsdnInterface1->font();
    bold.setBold(true);
    lbIsdnInterface1->setFont(bold);
    lbIsdnNTmode = label(gbIsdn1, "lbIsdnNTmode", QStringLiteral("Mode :"), 10, 56, 120);
    cbIsdnNTmode = combo(gbIsdn1, "cbIsdnNTmode",
                         {QStringLiteral("Point-to-point"), QStringLiteral("Point-to-multipoint")}, 140, 52, 160);
    lbIsdnNTMan = label(gbIsdn1, "lbIsdnNTMan", QStringLiteral("TEI managament"), 10, 86, 120);
    seIsdnNTMan = spin(gbIsdn1, "seIsdnNTMan", 0, 64, 0, 140, 82);
    lbIsdnDynamicTei1 = label(gbIsdn1, "lbIsdnDynamicTei1", teiHint, 140, 108, 165);

    // BRI 2 (TE), or the only port of the one-port gateway.
    gbIsdn2 = group(g, "gbIsdn2", QStringLiteral("ISDN BRI 2 port settings :"), kPort2LeftTwoPorts, 8, 310, 184);
    lbIsdnInterfaceCap2 = label(gbIsdn2, "lbIsdnInterfaceCap2", QStringLiteral("Interface :"), 10, 26, 120);
    lbIsdnInterface2 = label(gbIsdn2, "lbIsdnInterface2", QStringLiteral("TE"), 140, 26, 60);
    lbIsdnInterface2->setFont(bold);
    cbIsdnInterface = combo(gbIsdn2, "cbIsdnInterface", {QStringLiteral("NT"), QStringLiteral("TE")}, 140, 22, 70);
    cbIsdnInterface->hide();
    lbIsdnTEmode = label(gbIsdn2, "lbIsdnTEmode", QStringLiteral("Mode :"), 10, 56, 120);
    cbIsdnTEmode = combo(gbIsdn2, "cbIsdnTEmode",
                         {QStringLiteral("Disabled"), QStringLiteral("External sync"), QStringLiteral("Point-to-point"),
                          QStringLiteral("Point-to-multipoint")},
                         140, 52, 160);
    lbIsdnTEMan = label(gbIsdn2, "lbIsdnTEMan", QStringLiteral("TEI managament"), 10, 86, 120);
    seIsdnTEMan = spin(gbIsdn2, "seIsdnTEMan", 0, 64, 0, 140, 82);
    lbIsdnDynamicTei2 = label(gbIsdn2, "lbIsdnDynamicTei2", teiHint, 140, 108, 165);
    cbIsdnDisaTone = check(gbIsdn2, "cbIsdnDisaTone", QStringLiteral("DISA dial tone"), 10, 128, 290);
    lbIsdnMsn = label(gbIsdn2, "lbIsdnMsn", QStringLiteral("MSN number :"), 10, 156, 120);
    edIsdnMsnNumber = edit(gbIsdn2, "edIsdnMsnNumber", kMaxMsnLength, 140, 152, 160);

    // Digits dialled from ISDN ("G08" values 2 to 4).
    gbIsdn9 = group(g, "gbIsdn9", QStringLiteral("Number of digits dialed from ISDN"), 640, 8, 228, 184);
    lbIsdnMin = label(gbIsdn9, "lbIsdnMin", QStringLiteral("Min numbers from VoIP : "), 10, 26, 150);
    seIsdnMin = spin(gbIsdn9, "seIsdnMin", 2, 20, 9, 164, 22, 54);
    lbIsdnMax = label(gbIsdn9, "lbIsdnMax", QStringLiteral("Max numbers from VoIP : "), 10, 56, 150);
    seIsdnMax = spin(gbIsdn9, "seIsdnMax", 2, 20, 9, 164, 52, 54);
    lbIsdnWait = label(gbIsdn9, "lbIsdnWait", QStringLiteral("Wait for next digit [s] : "), 10, 86, 150);
    seIsdnWait = spin(gbIsdn9, "seIsdnWait", 0, 20, 3, 164, 82, 54);
    lbIsdnHint = label(gbIsdn9, "lbIsdnHint", QStringLiteral("'Max' cannot be lower then 'Min' and vice-versa"), 10,
                       112, 208, 64);
    lbIsdnHint->setWordWrap(true);
    lbIsdnHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = lbIsdnHint->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lbIsdnHint->setPalette(red);
    lbIsdnHint->hide();

    // Dialling mode.
    GroupBox3 = group(g, "GroupBox3", QString(), 8, 200, 310, 112);
    lbIsdnDialingMode = label(GroupBox3, "lbIsdnDialingMode", QStringLiteral("Dialing mode :"), 10, 26, 150);
    cbIsdnDialingMode =
        combo(GroupBox3, "cbIsdnDialingMode", {QStringLiteral("OVERLAP"), QStringLiteral("ENBLOCK")}, 170, 22, 130);
    lbIsdnDigits = label(GroupBox3, "lbIsdnDigits", QStringLiteral("Digits in setup :"), 10, 62, 150);
    seIsdnDigits = spin(GroupBox3, "seIsdnDigits", 0, 255, 0, 170, 58);
    lbIsdnDigits->setEnabled(false);
    seIsdnDigits->setEnabled(false);

    // Tones towards ISDN.
    gbIsdn7 = group(g, "gbIsdn7", QStringLiteral("Tone signalling for calls to ISDN ::"), kPort2LeftTwoPorts, 200,
                    310, 112);
    lbIsdnDial = label(gbIsdn7, "lbIsdnDial", QStringLiteral("Dial tone : "), 10, 26, 150);
    cbIsdnDial = combo(gbIsdn7, "cbIsdnDial", tones, 170, 22, 130);
    lbIsdnRing = label(gbIsdn7, "lbIsdnRing", QStringLiteral("Ring tone : "), 10, 54, 150);
    cbIsdnRing = combo(gbIsdn7, "cbIsdnRing", tones, 170, 50, 130);
    lbIsdnBusy = label(gbIsdn7, "lbIsdnBusy", QStringLiteral("Busy tone"), 10, 82, 150);
    cbIsdnBusy = combo(gbIsdn7, "cbIsdnBusy", tones, 170, 78, 130);

    // Numbering plan.
    gbIsdn8 = group(g, "gbIsdn8", QStringLiteral("Numbering plan settings :"), 640, 200, 228, 112);
    lbIsdnCDN = label(gbIsdn8, "lbIsdnCDN", QStringLiteral("Called party number :"), 10, 26, 140);
    seIsdnCDN = spin(gbIsdn8, "seIsdnCDN", 0, 127, 0, 150, 22, 46);
    lbIsdnCGN = label(gbIsdn8, "lbIsdnCGN", QStringLiteral("Calling party number :"), 10, 62, 140);
    seIsdnCGN = spin(gbIsdn8, "seIsdnCGN", 0, 127, 0, 150, 58, 46);
    SpeedButton2 = button(gbIsdn8, "SpeedButton2", QStringLiteral("?"), 200, 22, 22);

    // Progress elements.
    gbIsdn4 = group(g, "gbIsdn4", QStringLiteral("Progress elements numbers :"), 8, 320, 626, 140);
    const QString off = QStringLiteral("(0=off)");
    lbIsdnAck = label(gbIsdn4, "lbIsdnAck", QStringLiteral("Message SETUP_ACKNOWLEDGE :"), 10, 26, 300);
    seIsdnAck = spin(gbIsdn4, "seIsdnAck", 0, 8, 0, 320, 22);
    Label68 = label(gbIsdn4, "Label68", off, 394, 26, 200);
    lbIsdnProc = label(gbIsdn4, "lbIsdnProc", QStringLiteral("Message SETUP_PROCEEDING :"), 10, 54, 300);
    seIsdnProc = spin(gbIsdn4, "seIsdnProc", 0, 8, 0, 320, 50);
    Label69 = label(gbIsdn4, "Label69", off, 394, 54, 200);
    lbIsdnProg = label(gbIsdn4, "lbIsdnProg", QStringLiteral("Message SETUP_PROGRESS :"), 10, 82, 300);
    seIsdnProg = spin(gbIsdn4, "seIsdnProg", 0, 8, 0, 320, 78);
    Label71 = label(gbIsdn4, "Label71", off, 394, 82, 200);
    lbIsdnAlert = label(gbIsdn4, "lbIsdnAlert", QStringLiteral("Message SETUP_ALERTING :"), 10, 110, 300);
    seIsdnAlert = spin(gbIsdn4, "seIsdnAlert", 0, 8, 0, 320, 106);
    Label73 = label(gbIsdn4, "Label73", off, 394, 110, 200);

    // Statistics day and the two option flags.
    lbIsdnDay = label(g, "lbIsdnDay", QStringLiteral("Day of deleting statistics ISDN"), 16, 476, 300);
    seIsdnDay = spin(g, "seIsdnDay", 0, 31, 1, 328, 472);
    cbIsdnReceive = check(g, "cbIsdnReceive", QStringLiteral("Receive dial number from Subaddress"), 16, 504, 420);
    cbIsdnConnectAck = check(g, "cbIsdnConnectAck", QStringLiteral("Don't send ConnectAck on TE"), 440, 504, 420);

    // Monitoring tab.
    QWidget* m = tsIsdnMonitoring;
    gIsdnMonitoring = group(m, "gIsdnMonitoring", QStringLiteral("BRI ISDN monitoring"), 8, 8, 860, 536);
    lbIsdnBri1 = label(gIsdnMonitoring, "lbIsdnBri1", QStringLiteral("BRI1 (NT)"), 10, 24, 260);
    lbIsdnBri2 = label(gIsdnMonitoring, "lbIsdnBri2", QStringLiteral("BRI2 (TE)"), 290, 24, 260);
    lbIsdnBri1->setFont(bold);
    lbIsdnBri2->setFont(bold);
    cbIsdnKeepBRI11 =
        check(gIsdnMonitoring, "cbIsdnKeepBRI11", QStringLiteral("Keep always activated 1. layer"), 10, 46, 270);
    cbIsdnKeepBRI12 =
        check(gIsdnMonitoring, "cbIsdnKeepBRI12", QStringLiteral("Keep always activated 2. layer"), 10, 70, 270);
    cbIsdnSendSms1 =
        check(gIsdnMonitoring, "cbIsdnSendSms1", QStringLiteral("Send SMS while changing state"), 10, 94, 270);
    cbIsdnKeepBRI21 =
        check(gIsdnMonitoring, "cbIsdnKeepBRI21", QStringLiteral("Keep always activated 1. layer"), 290, 46, 270);
    cbIsdnKeepBRI22 =
        check(gIsdnMonitoring, "cbIsdnKeepBRI22", QStringLiteral("Keep always activated 2. layer"), 290, 70, 270);
    cbIsdnSendSms2 =
        check(gIsdnMonitoring, "cbIsdnSendSms2", QStringLiteral("Send SMS while changing state"), 290, 94, 270);
    lbIsdnDeact = label(gIsdnMonitoring, "lbIsdnDeact", QStringLiteral("Timeout while detecting link deactivation"),
                        10, 128, 340);
    sebIsdnDeact = spin(gIsdnMonitoring, "sebIsdnDeact", 0, 65535, 0, 360, 124, 80);
    lbIsdnAct = label(gIsdnMonitoring, "lbIsdnAct", QStringLiteral("Timeout while detecting link activation"), 10,
                      156, 340);
    sebIsdnAct = spin(gIsdnMonitoring, "sebIsdnAct", 0, 65535, 0, 360, 152, 80);

    gbIsdnStateSms = group(gIsdnMonitoring, "gbIsdnStateSms", QStringLiteral("Text of SMS when state is changed"), 10,
                           186, 416, 340);
    QWidget* s = gbIsdnStateSms;
    lbIsdnStateSms = label(s, "lbIsdnStateSms", QStringLiteral("Text of SMS when state is changed"), 10, 24, 396);
    edIsdnStateSms = edit(s, "edIsdnStateSms", 63, 10, 44, 396);
    lbIsdnNumbers = label(s, "lbIsdnNumbers", QStringLiteral("Numbers where SMS will be sent to"), 10, 76, 396);
    lbIsdn1Number = label(s, "lbIsdn1Number", QStringLiteral("1. number"), 10, 102, 130);
    edIsdn1Number = edit(s, "edIsdn1Number", 15, 150, 98, 150);
    lbIsdn2Number = label(s, "lbIsdn2Number", QStringLiteral("2. number"), 10, 130, 130);
    edIsdn2Number = edit(s, "edIsdn2Number", 15, 150, 126, 150);
    lbIsdn3Number = label(s, "lbIsdn3Number", QStringLiteral("3. number"), 10, 158, 130);
    edIsdn3Number = edit(s, "edIsdn3Number", 15, 150, 154, 150);
    lbIsdnMonitoringHelp =
        label(s, "lbIsdnMonitoringHelp", QStringLiteral("Supported variables in text of SMS"), 10, 190, 396);
    mIsdnMonitoringHint = place<QPlainTextEdit>(s, "mIsdnMonitoringHint", 10, 210, 396, 120);
    mIsdnMonitoringHint->setReadOnly(true);
    mIsdnMonitoringHint->setFrameShape(QFrame::NoFrame);
    mIsdnMonitoringHint->setBackgroundVisible(false);
    QPalette memo = mIsdnMonitoringHint->palette();
    memo.setColor(QPalette::Base, memo.color(QPalette::Window));
    mIsdnMonitoringHint->setPalette(memo);

    gbInAliveSms = group(gIsdnMonitoring, "gbInAliveSms", QStringLiteral("Settings of Alive SMS interval"), 436, 186,
                         414, 340);
    QWidget* a = gbInAliveSms;
    cbInAliveActivate = check(a, "cbInAliveActivate", QStringLiteral("Send Alive SMS"), 10, 24, 394);
    lbInAliveTime = label(a, "lbInAliveTime", QStringLiteral("Interval [hh:mm] :"), 10, 56, 200);
    edInAliveTime = edit(a, "edInAliveTime", 5, 220, 52, 60);
    edInAliveTime->setText(QStringLiteral("00:00"));
    lbInAliveDay = label(a, "lbInAliveDay", QStringLiteral("Day [1-31] :"), 10, 84, 200);
    seInAliveDay = spin(a, "seInAliveDay", 0, 31, 0, 220, 80);
    lbInAliveNum1 = label(a, "lbInAliveNum1", QStringLiteral("1. receiver number"), 10, 112, 200);
    edInAliveNum1 = edit(a, "edInAliveNum1", 15, 220, 108, 150);
    lbInAliveNum2 = label(a, "lbInAliveNum2", QStringLiteral("2. receiver number"), 10, 140, 200);
    edInAliveNum2 = edit(a, "edInAliveNum2", 15, 220, 136, 150);
    lbInAliveNum3 = label(a, "lbInAliveNum3", QStringLiteral("3. receiver number"), 10, 168, 200);
    edInAliveNum3 = edit(a, "edInAliveNum3", 15, 220, 164, 150);
    lbInAliveSmsText = label(a, "lbInAliveSmsText", QStringLiteral("Text of SMS"), 10, 200, 394);
    edInAliveSmsText = edit(a, "edInAliveSmsText", 63, 10, 220, 394);
    lbInAliveSmsHint =
        label(a, "lbInAliveSmsHint", QStringLiteral("%M      M is replaced by parameter %I27=msn"), 10, 250, 394);
    lbInAliveSmsWarning = label(a, "lbInAliveSmsWarning", QString(), 10, 274, 394, 56);
    lbInAliveSmsWarning->setWordWrap(true);
    lbInAliveSmsWarning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    enableAliveSmsControls(false);

    sbIsdnSave = button(page, "sbIsdnSave", QStringLiteral("Save to gate"), 8, 600);
    sbIsdnLoad = button(page, "sbIsdnLoad", QStringLiteral("Load from gate"), 146, 600);
    sbIsdnDefault = button(page, "sbIsdnDefault", QStringLiteral("Defaults"), 284, 600);
    sbIsdnSaveFile = button(page, "sbIsdnSaveFile", QStringLiteral("Save to file"), 422, 600);

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
    for (QSpinBox* sp : {seIsdnMin, seIsdnMax})
        QObject::connect(sp, &QSpinBox::valueChanged, sp, [this] {
            showIsdnDigitsHint();
            markIsdnChanged();
        });
    for (QSpinBox* sp : {seIsdnWait, seIsdnAck, seIsdnProc, seIsdnProg, seIsdnAlert, seIsdnDay, seIsdnDigits,
                         seIsdnCDN, seIsdnCGN, sebIsdnDeact, sebIsdnAct, seInAliveDay})
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
    if (model == 0) {
        gbIsdn1->show();
        gbIsdn2->move(kPort2LeftTwoPorts, gbIsdn2->y());
        gbIsdn2->setTitle(labelOr(t, 743, QStringLiteral("ISDN BRI 2 port settings :")));
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
        const QString bri = labelOr(t, 935, QStringLiteral("BRI"));
        lbIsdnBri1->setText(bri + QStringLiteral(" 1"));
        lbIsdnBri2->setText(bri + QStringLiteral(" 2"));
    } else {
        gbIsdn1->hide();
        gbIsdn2->move(kPort2LeftOnePort, gbIsdn2->y());
        gbIsdn2->setTitle(labelOr(t, 871, QStringLiteral("ISDN BRI port settings")));
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
        lbIsdnBri1->setText(labelOr(t, 935, QStringLiteral("BRI")));
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
    sbIsdnSave->setText(labelOr(t, 127, QStringLiteral("Save to gate")));
    sbIsdnLoad->setText(labelOr(t, 128, QStringLiteral("Load from gate")));
    sbIsdnDefault->setText(labelOr(t, 154, QStringLiteral("Defaults")));
    sbIsdnSaveFile->setText(labelOr(t, 156, QStringLiteral("Save to file")));
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
    if (gatewayModel == 0) {
        gbIsdn2->setTitle(labelOr(t, 743, QStringLiteral("ISDN BRI 2 port settings")));
        setItems(cbIsdnTEmode, {labelOr(t, 906, QStringLiteral("Disabled")),
                                labelOr(t, 907, QStringLiteral("External sync")), p2p, p2mp});
    } else {
        setItems(cbIsdnTEmode, {p2p, p2mp});
        gbIsdn2->setTitle(labelOr(t, 871, QStringLiteral("ISDN BRI port settings")));
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
    const QString bri = labelOr(t, 935, QStringLiteral("BRI"));
    if (gatewayModel == 0) {
        lbIsdnBri1->setText(bri + QStringLiteral("1 (NT)"));
        lbIsdnBri2->setText(bri + QStringLiteral("2 (TE)"));
    } else {
        lbIsdnBri1->setText(bri);
    }
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
        i.interfaceMode = mode == 0   ? QStringLiteral("NT/O")
                          : mode == 1 ? QStringLiteral("NT/S")
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
