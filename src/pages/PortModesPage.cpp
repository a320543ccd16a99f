#include "pages/PortModesPage.h"

#include "config/Parametres.h"
#include "exchange/PortModesExchange.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/PageState.h"
#include "texts/LabelRule.h"
#include "texts/TextFormat.h"
#include "ui/TfLoad.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

namespace {

constexpr int kGroupWidth = 700;
constexpr int kGroupHeight = 128;

QGroupBox* group(QWidget* parent, const char* name, int top)
{
    auto* g = new QGroupBox(parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setGeometry(8, top, kGroupWidth, kGroupHeight);
    return g;
}

QRadioButton* radio(QGroupBox* parent, const char* name, const QString& caption, int top)
{
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(QString::fromLatin1(name));
    r->setGeometry(12, top, 380, 20);
    return r;
}

QLabel* hint(QGroupBox* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(404, 18, kGroupWidth - 414, kGroupHeight - 26);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 417, 130, 27);
    return b;
}

void setHint(QLabel* label, const QString& text, Qt::GlobalColor colour)
{
    label->setText(text);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

void markPortModesChanged()
{
    pageChanged[pcPortModes] = 1;
}

void moveTop(QWidget* w, int top)
{
    w->move(w->x(), top);
}

// Enables the main window for the time of a selection (a radio takes the focus only in an enabled window) and
// puts its state back afterwards.
class MainWindowEnabled
{
public:
    MainWindowEnabled() : wasEnabled_(fMain->isEnabled()) { fMain->setEnabled(true); }
    ~MainWindowEnabled() { fMain->setEnabled(wasEnabled_); }
    MainWindowEnabled(const MainWindowEnabled&) = delete;
    MainWindowEnabled& operator=(const MainWindowEnabled&) = delete;

private:
    bool wasEnabled_;
};

void focusProgressWindow()
{
    if (fLoad && fLoad->isVisible())
        fLoad->activateWindow();
}

} // namespace

const PageFrame& PortModesPage::portModesFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = pcPortModes;
        f.defaultMask = gsPortModes;
        f.fileMask = gsPortModes;
        f.fileFailureCaption = kCaptionInformation;
        f.modelStep = true;
        f.load = [] { return fMain->portModesLoad(); };
        f.save = [] { return fMain->portModesSave(); };
        f.unreachedLines = kPortModesLine;
        f.toImage = [] { fMain->portModesSaveFile(); };
        f.fromImage = [] { fMain->portModesLoadFile(); };
        return f;
    }();
    return frame;
}

void PortModesPage::buildPortModesPage(QWidget* host)
{
    pPortModes = addTopicPage(host, "pPortModes", 834);
    registerPage(PageId::PortModes, portModesFrame());
    if (fMain) {
        // Shown, the page writes its hints again from the chosen radios.
        fMain->setTopicSection(834, [this](bool chosen) {
            if (chosen) {
                fMain->showTopicPage(834);
                rerunChosenRadios();
            } else {
                pPortModes->hide();
            }
            return true;
        });
    }
    QWidget* page = pPortModes->widget();
    page->setMinimumSize(kGroupWidth + 16, 3 * kGroupHeight + 32);

    gbPortModes1 = group(page, "gbPortModes1", 8);
    rbRejectBri1 = radio(gbPortModes1, "rbRejectBri1", QStringLiteral("Reject all incoming calls"), 24);
    rbRouteBri1 = radio(gbPortModes1, "rbRouteBri1", QStringLiteral("Route calls to ISDN BRI 2 interface"), 48);
    rbUseReject1 = radio(gbPortModes1, "rbUseReject1", QStringLiteral("Use LCR table, then reject a call"), 72);
    rbUseRoute1 =
        radio(gbPortModes1, "rbUseRoute1", QStringLiteral("Use LCR table, then route to BRI 2 interfacee"), 96);
    lbPortModes1 = hint(gbPortModes1, "lbPortModes1");

    gbPortModes2 = group(page, "gbPortModes2", 144);
    rbRejectBri2 = radio(gbPortModes2, "rbRejectBri2", QStringLiteral("Reject all incoming calls"), 24);
    rbRouteBri2 = radio(gbPortModes2, "rbRouteBri2", QStringLiteral("Route calls to ISDN BRI 1 interface"), 48);
    rbUseReject2 = radio(gbPortModes2, "rbUseReject2", QStringLiteral("Use LCR table, then reject a call"), 72);
    rbUseRoute2 =
        radio(gbPortModes2, "rbUseRoute2", QStringLiteral("Use LCR table, then route to BRI 1 interfacee"), 96);
    lbPortModes2 = hint(gbPortModes2, "lbPortModes2");

    gbPortModes3 = group(page, "gbPortModes3", 280);
    rbRejectAll = radio(gbPortModes3, "rbRejectAll", QStringLiteral("Reject all incoming calls"), 24);
    rbRouteIn1 =
        radio(gbPortModes3, "rbRouteIn1", QStringLiteral("Route all incoming calls to ISDN BRI 1 interface"), 48);
    rbRouteIn2 = radio(gbPortModes3, "rbRouteIn2", QStringLiteral("Route incoming calls to ISDN BRI 2 interface"), 72);
    lbPortModes3 = hint(gbPortModes3, "lbPortModes3");

    gbPortModes1->setTitle(QStringLiteral("ISDN BRI 1 port ( NT interface )"));
    gbPortModes2->setTitle(QStringLiteral("ISDN BRI 2 port ( TE interface )"));
    gbPortModes3->setTitle(QStringLiteral("GSM channels 1 and 2"));

    // Each group starts on "reject"; from then on exactly one radio of a group is chosen.
    rbRejectBri1->setChecked(true);
    rbRejectBri2->setChecked(true);
    rbRejectAll->setChecked(true);

    sbPortModesSave = button(page, "sbPortModesSave", QStringLiteral("Save to gate"), 8);
    sbPortModesLoad = button(page, "sbPortModesLoad", QStringLiteral("Load from gate"), 146);
    sbPortModesDefault = button(page, "sbPortModesDefault", QStringLiteral("Defaults"), 284);
    sbPortModesSaveFile = button(page, "sbPortModesSaveFile", QStringLiteral("Save to file"), 422);
    addPageButtons(pPortModes, {sbPortModesSave, sbPortModesLoad, sbPortModesDefault, sbPortModesSaveFile});

    // A radio's click runs when it is turned on, by the user or by code.
    for (const auto& [rb, handler] : radioHandlers())
        QObject::connect(rb, &QRadioButton::toggled, rb, [this, handler = handler](bool on) {
            if (on)
                (this->*handler)();
        });

    fMain->addModelLayoutStep([this](int model) { setModelLayoutPortModes(model); });

    QObject::connect(sbPortModesLoad, &QPushButton::clicked, sbPortModesLoad, [this] { sbPortModesLoadClick(); });
    QObject::connect(sbPortModesSave, &QPushButton::clicked, sbPortModesSave, [this] { sbPortModesSaveClick(); });
    QObject::connect(sbPortModesDefault, &QPushButton::clicked, sbPortModesDefault,
                     [this] { sbPortModesDefaultClick(); });
    QObject::connect(sbPortModesSaveFile, &QPushButton::clicked, sbPortModesSaveFile,
                     [this] { sbPortModesSaveFileClick(); });
}

// ---- Radio handlers

void PortModesPage::rerunChosenRadios()
{
    // The handler of every chosen radio runs again, in this order, for its hint and colour. Nothing on the
    // page changes by it, so the page must not count as changed (else every start-up and every visit would
    // mark it, and every close would ask to save a page nobody touched).
    const auto changed = pageChanged[pcPortModes];
    for (const auto& [rb, handler] : radioHandlers())
        if (rb->isChecked())
            (this->*handler)();
    pageChanged[pcPortModes] = changed;
}

std::array<PortModesPage::RadioHandler, 11> PortModesPage::radioHandlers() const
{
    return {{{rbRejectBri1, &PortModesPage::rbRejectBri1Click},
             {rbRouteBri1, &PortModesPage::rbRouteBri1Click},
             {rbUseReject1, &PortModesPage::rbUseReject1Click},
             {rbUseRoute1, &PortModesPage::rbUseRoute1Click},
             {rbRejectBri2, &PortModesPage::rbRejectBri2Click},
             {rbRouteBri2, &PortModesPage::rbRouteBri2Click},
             {rbUseReject2, &PortModesPage::rbUseReject2Click},
             {rbUseRoute2, &PortModesPage::rbUseRoute2Click},
             {rbRejectAll, &PortModesPage::rbRejectAllClick},
             {rbRouteIn1, &PortModesPage::rbRouteIn1Click},
             {rbRouteIn2, &PortModesPage::rbRouteIn2Click}}};
}

void PortModesPage::rbRejectBri1Click()
{
    setHint(lbPortModes1, labelText(858), Qt::red);
    markPortModesChanged();
}

void PortModesPage::rbRouteBri1Click()
{
    setHint(lbPortModes1, labelText(859), Qt::blue);
    markPortModesChanged();
}

void PortModesPage::rbUseReject1Click()
{
    setHint(lbPortModes1, labelText(860), Qt::blue);
    markPortModesChanged();
}

void PortModesPage::rbUseRoute1Click()
{
    setHint(lbPortModes1, labelText(861), Qt::blue);
    markPortModesChanged();
}

void PortModesPage::rbRejectBri2Click()
{
    setHint(lbPortModes2, labelText(858), Qt::red);
    markPortModesChanged();
}

void PortModesPage::rbRouteBri2Click()
{
    setHint(lbPortModes2, labelText(859), Qt::blue);
    markPortModesChanged();
}

void PortModesPage::rbUseReject2Click()
{
    setHint(lbPortModes2, labelText(gatewayModel == 0 ? 860 : 888), Qt::blue);
    markPortModesChanged();
}

void PortModesPage::rbUseRoute2Click()
{
    setHint(lbPortModes2, labelText(861), Qt::blue);
    markPortModesChanged();
}

void PortModesPage::rbRejectAllClick()
{
    setHint(lbPortModes3, labelText(858), Qt::red);
    markPortModesChanged();
}

void PortModesPage::rbRouteIn1Click()
{
    setHint(lbPortModes3, formatTextInt(labelText(862), 1), Qt::blue);
    markPortModesChanged();
}

void PortModesPage::rbRouteIn2Click()
{
    // The one-port text names no port and is shown as it stands, not as a format.
    setHint(lbPortModes3, gatewayModel == 0 ? formatTextInt(labelText(862), 2) : labelText(887), Qt::blue);
    markPortModesChanged();
}

// ---- Characters

char PortModesPage::portModeBri1() const
{
    if (rbRouteBri1->isChecked())
        return '2';
    if (rbUseReject1->isChecked())
        return 'G';
    if (rbUseRoute1->isChecked())
        return 'A';
    return '0';
}

char PortModesPage::portModeBri2() const
{
    if (rbRouteBri2->isChecked())
        return '1';
    if (rbUseReject2->isChecked())
        return 'G';
    if (rbUseRoute2->isChecked())
        return 'B';
    return '0';
}

char PortModesPage::portModeGsm() const
{
    if (rbRouteIn1->isChecked())
        return '1';
    if (rbRouteIn2->isChecked())
        return '2';
    return '0';
}

void PortModesPage::selectPortModes(char gsm, char bri1, char bri2)
{
    QRadioButton* chosen[3] = {};
    switch (bri1) {
    case '0':
        chosen[0] = rbRejectBri1;
        break;
    case '2':
        chosen[0] = rbRouteBri1;
        break;
    case 'A':
        chosen[0] = rbUseRoute1;
        break;
    case 'G':
        chosen[0] = rbUseReject1;
        break;
    default:
        break;
    }
    switch (bri2) {
    case '0':
        chosen[1] = rbRejectBri2;
        break;
    case '1':
        chosen[1] = rbRouteBri2;
        break;
    case 'B':
        chosen[1] = rbUseRoute2;
        break;
    case 'G':
        chosen[1] = rbUseReject2;
        break;
    default:
        break;
    }
    switch (gsm) {
    case '0':
        chosen[2] = rbRejectAll;
        break;
    case '1':
        chosen[2] = rbRouteIn1;
        break;
    case '2':
        chosen[2] = rbRouteIn2;
        break;
    default:
        break;
    }
    for (QRadioButton* rb : chosen) {
        if (!rb)
            continue;
        rb->setChecked(true);
        if (pPortModes->isVisible() && rb->isVisible() && fMain->isEnabled())
            rb->setFocus();
    }
}

// ---- Gateway

bool PortModesPage::portModesLoad()
{
    QByteArray reply;
    if (!SendCommand(QByteArrayLiteral("AT&V\r\n"), reply, 1024, LoadErrors, kPortModesLine))
        return false; // the radios keep what they show: a failed read says nothing about the gateway

    MainWindowEnabled enabled;
    focusProgressWindow();
    // An unknown character leaves its group alone.
    const PortModeChars modes = parsePortModesView(reply);
    selectPortModes(modes[0], modes[1], modes[2]);
    focusProgressWindow();
    return true;
}

bool PortModesPage::portModesSave()
{
    QByteArray reply;
    return SendCommand(portModesCommand({portModeGsm(), portModeBri1(), portModeBri2()}, gatewayModel), reply, 1024,
                       LoadErrors, kPortModesLine);
}

// ---- Image

void PortModesPage::portModesSaveFile()
{
    GateConfig.portModeChars = {portModeGsm(), gatewayModel != 0 ? '0' : portModeBri1(), portModeBri2()};
}

void PortModesPage::portModesLoadFile()
{
    MainWindowEnabled enabled;
    const auto& chars = GateConfig.portModeChars;
    selectPortModes(chars[0], chars[1], chars[2]);
}

// ---- Buttons

void PortModesPage::sbPortModesLoadClick()
{
    portModesFrame().loadClick();
}

void PortModesPage::sbPortModesSaveClick()
{
    portModesFrame().saveClick();
}

void PortModesPage::sbPortModesDefaultClick()
{
    portModesFrame().defaultClick();
}

void PortModesPage::sbPortModesSaveFileClick()
{
    portModesFrame().saveFileClick();
}

// ---- Layout and labels

void PortModesPage::setModelLayoutPortModes(int model)
{
    if (model == 0) {
        gbPortModes1->show();
        for (QRadioButton* rb : {rbRejectBri1, rbRouteBri1, rbUseReject1, rbUseRoute1})
            rb->show();
        moveTop(gbPortModes2, 144);
        moveTop(gbPortModes3, 280);
        for (QRadioButton* rb : {rbRouteBri2, rbUseRoute2, rbRouteIn1})
            rb->show();
        moveTop(rbUseReject2, 72);
        moveTop(rbRouteIn2, 72);
        setPortModesModelCaptions(labelTexts, model);
        return;
    }
    if (model != 1)
        return;
    gbPortModes1->hide();
    for (QRadioButton* rb : {rbRejectBri1, rbRouteBri1, rbUseReject1, rbUseRoute1})
        rb->hide();
    moveTop(gbPortModes2, 8);
    moveTop(gbPortModes3, 144);
    for (QRadioButton* rb : {rbRouteBri2, rbUseRoute2, rbRouteIn1})
        rb->hide();
    moveTop(rbUseReject2, 48);
    moveTop(rbRouteIn2, 48);
    setPortModesModelCaptions(labelTexts, model);
    // The choices that name the missing port move to the remaining one.
    if (rbRouteBri2->isChecked() || rbUseRoute2->isChecked())
        rbRejectBri2->setChecked(true);
    if (rbRouteIn1->isChecked())
        rbRejectAll->setChecked(true);
}

void PortModesPage::setLabelsPortModes1(const Tlabels& t)
{
    setFrameButtonTexts(t, sbPortModesSave, sbPortModesLoad, sbPortModesDefault, sbPortModesSaveFile);
}

void PortModesPage::setLabelsPortModes2(const Tlabels& t)
{
    const QString reject = labelOr(t, 835, QStringLiteral("Reject all incoming calls"));
    rbRejectBri1->setText(reject);
    rbRejectBri2->setText(reject);
    rbRejectAll->setText(reject);
    rbRouteBri1->setText(labelOr(t, 836, QStringLiteral("Route calls to ISDN BRI 2 interface")));
    rbRouteBri2->setText(labelOr(t, 857, QStringLiteral("Route calls to ISDN BRI 1 interface")));
    rbRouteIn1->setText(
        formatTextInt(labelOr(t, 839, QStringLiteral("Route all incoming calls to ISDN BRI %d interface")), 1));
    const QString useReject = labelOr(t, 837, QStringLiteral("Use LCR table, then reject a call"));
    rbUseReject1->setText(useReject);
    rbUseReject2->setText(useReject);
    const QString useRoute = labelOr(t, 838, QStringLiteral("Use LCR table, then route to BRI %d interfacee"));
    rbUseRoute1->setText(formatTextInt(useRoute, 2));
    rbUseRoute2->setText(formatTextInt(useRoute, 1));

    // The hints follow the language.
    rerunChosenRadios();

    setPortModesModelCaptions(t, gatewayModel);
}

// The model layout and the label pass both write these captions, so that a change of model and a change of
// language leave the same text.
void PortModesPage::setPortModesModelCaptions(const Tlabels& t, int model)
{
    if (model == 0) {
        gbPortModes1->setTitle(labelOr(t, 864, QStringLiteral("ISDN BRI 1 port ( NT interface )")));
        gbPortModes2->setTitle(labelOr(t, 865, QStringLiteral("ISDN BRI 2 port ( TE interface )")));
        gbPortModes3->setTitle(labelOr(t, 866, QStringLiteral("GSM channels 1 and 2")));
        rbRouteIn2->setText(
            formatTextInt(labelOr(t, 839, QStringLiteral("Route incoming calls to ISDN BRI %d interface")), 2));
    } else {
        gbPortModes2->setTitle(labelOr(t, 867, QStringLiteral("ISDN BRI port")));
        gbPortModes3->setTitle(labelOr(t, 866, QStringLiteral("GSM channels 1 and 2")));
        rbRouteIn2->setText(labelOr(t, 853, QStringLiteral("Route incoming calls to ISDN BRI interface")));
    }
}
