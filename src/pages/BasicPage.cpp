// The GSM basic page: its controls, their handlers, the label steps and the copies to and from the image.
// The exchanges with the gateway are in BasicPageGateway.cpp.
#include "pages/BasicPage.h"

#include "config/Parametres.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/TfCause.h"
#include "pages/TfQuestionMark.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>

namespace {

// The PIN edit takes letters, digits, Backspace and the copy and paste keys (Ctrl+C, Ctrl+V); every other
// typed character is dropped (edBasicPinKeyPress).
class PinKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        // Tab moves the focus and Delete edits; neither is a typed character, though the X keyboard gives
        // them one ("\t", "\x7f").
        const int key = keyEvent->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
            return false;
        const QString text = keyEvent->text();
        if (text.isEmpty())
            return false; // arrows and the like type nothing
        const QChar c = text.at(0);
        const bool asciiLetterOrDigit = c.unicode() < 128 && c.isLetterOrNumber();
        const bool kept = asciiLetterOrDigit || c == QChar(8) || c == QChar(22) || c == QChar(3);
        return !kept;
    }
};

template <typename W> W* place(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = 230, int h = 17)
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

QSpinBox* spin(QWidget* parent, const char* name, int min, int max, int value, int x, int y)
{
    auto* s = place<QSpinBox>(parent, name, x, y, 64, 22);
    s->setRange(min, max);
    s->setValue(value);
    return s;
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& items, int index, int x, int y, int w = 180)
{
    auto* c = place<QComboBox>(parent, name, x, y, w, 22);
    c->addItems(items);
    c->setCurrentIndex(index);
    return c;
}

QCheckBox* check(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = 420)
{
    auto* c = place<QCheckBox>(parent, name, x, y, w, 20);
    c->setText(caption);
    return c;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = 130)
{
    auto* b = place<QPushButton>(parent, name, x, y, w, 27);
    b->setText(caption);
    return b;
}

// A volume bar with its scale marks under it.
QSlider* volumeBar(QWidget* parent, const char* name, const QStringList& marks, int x, int y)
{
    constexpr int width = 220;
    auto* bar = place<QSlider>(parent, name, x, y, width, 22);
    bar->setOrientation(Qt::Horizontal);
    bar->setRange(0, int(marks.size()) - 1);
    bar->setValue(int(marks.size()) / 2);
    bar->setPageStep(1);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(1);
    const int step = (width - 16) / (int(marks.size()) - 1);
    for (int i = 0; i < marks.size(); ++i) {
        auto* mark = new QLabel(marks.at(i), parent);
        mark->setAlignment(Qt::AlignHCenter);
        mark->setGeometry(x + 8 + i * step - 16, y + 22, 32, 14);
    }
    return bar;
}

// Rewrites a list's items in place; the selected item stays selected (the item count never changes).
void setItems(QComboBox* box, const QStringList& texts)
{
    for (int i = 0; i < box->count() && i < texts.size(); ++i)
        box->setItemText(i, texts.at(i));
}

void markBasicChanged()
{
    pageChanged[pcBasic] = 1;
}

} // namespace

void BasicPage::buildBasicPage(QWidget* host)
{
    pBasic = addTopicPage(host, "pBasic", 32);
    registerPage(PageId::Basic, basicFrame());
    QWidget* page = pBasic->widget();
    page->setMinimumSize(900, 564);

    const QStringList tones{QStringLiteral("None"), QStringLiteral("European"), QStringLiteral("Czech"),
                            QStringLiteral("Hungarian"), QStringLiteral("English")};
    const QStringList marks5{QStringLiteral("-5"), QStringLiteral("-2.5"), QStringLiteral("0"), QStringLiteral("+2.5"),
                             QStringLiteral("+5")};
    const QStringList marks7{QStringLiteral("-6"), QStringLiteral("-4"), QStringLiteral("-2"), QStringLiteral("0"),
                             QStringLiteral("+2"), QStringLiteral("+4"), QStringLiteral("+6")};

    // Left column.
    gbBasic9 = group(page, "gbBasic9", QString(), 8, 8, 440, 212);
    lbBasicRelax = label(gbBasic9, "lbBasicRelax", QStringLiteral("Call delay [s] : "), 10, 24);
    seBasicRelax = spin(gbBasic9, "seBasicRelax", 0, 10, 2, 250, 20);
    lbBasicTimeoutRing =
        label(gbBasic9, "lbBasicTimeoutRing", QStringLiteral("Timeout for ringing from GSM [s]"), 10, 52);
    seBasicTimeoutRing = spin(gbBasic9, "seBasicTimeoutRing", 0, 120, 120, 250, 48);
    Label2 = label(gbBasic9, "Label2", QStringLiteral("(0 = off)"), 320, 52, 110);
    lbBasicDtmf = label(gbBasic9, "lbBasicDtmf", QStringLiteral("Delay [s] :"), 10, 80);
    seBasicDtmf = spin(gbBasic9, "seBasicDtmf", 1, 99, 1, 250, 76);
    lbBasicSim = label(gbBasic9, "lbBasicSim", QStringLiteral("SIM card number : "), 10, 108);
    cbBasicSim = combo(gbBasic9, "cbBasicSim", {QStringLiteral("IMSI"), QStringLiteral("SCID")}, 0, 250, 104);
    lbBasicRecSms = label(gbBasic9, "lbBasicRecSms", QStringLiteral("Received SMS save to :"), 10, 136);
    cbBasicRecSms =
        combo(gbBasic9, "cbBasicRecSms", {QStringLiteral("SIM card"), QStringLiteral("GSM module")}, 0, 250, 132);
    cbBasicDisable = check(gbBasic9, "cbBasicDisable", QStringLiteral("Don't send CLIP for calls GSM -> BRI"), 10, 160);
    cbBasicActivateBusy =
        check(gbBasic9, "cbBasicActivateBusy", QStringLiteral("Activate BUSY status to GSM"), 10, 184);
    cbBasicInit = check(gbBasic9, "cbBasicInit", QStringLiteral("Send AoC for calls BRI->GSM "), 10, 206);
    cbBasicInit->hide();

    gbBasic12 = group(page, "gbBasic12", QStringLiteral("Signalling tone :"), 8, 226, 440, 108);
    lbBasicDial = label(gbBasic12, "lbBasicDial", QStringLiteral("Dial tone : "), 10, 24, 280);
    cbBasicDial = combo(gbBasic12, "cbBasicDial", tones, 0, 294, 20, 136);
    lbBasicRing = label(gbBasic12, "lbBasicRing", QStringLiteral("Ring tone : "), 10, 52);
    cbBasicRing = combo(gbBasic12, "cbBasicRing", tones, 0, 294, 48, 136);
    lbBasicBusy = label(gbBasic12, "lbBasicBusy", QStringLiteral("Busy tone :"), 10, 80);
    cbBasicBusy = combo(gbBasic12, "cbBasicBusy", tones + QStringList{QStringLiteral("Disabled")}, -1, 294, 76, 136);

    GroupBox1 = group(page, "GroupBox1", QString(), 8, 340, 216, 64);
    lbBasicPin = label(GroupBox1, "lbBasicPin", QStringLiteral("SIM cards PIN number :"), 8, 16, 110, 30);
    lbBasicPin->setWordWrap(true);
    edBasicPin = place<QLineEdit>(GroupBox1, "edBasicPin", 124, 20, 80, 22);
    edBasicPin->setMaxLength(6);
    edBasicPin->installEventFilter(new PinKeyFilter(edBasicPin));

    GroupBox2 = group(page, "GroupBox2", QString(), 232, 340, 216, 64);
    lbBasicSelection = label(GroupBox2, "lbBasicSelection", QStringLiteral("GSM module selection :"), 8, 14, 200);
    cbBasicSelection = combo(
        GroupBox2, "cbBasicSelection",
        {QStringLiteral("Cyclic"), QStringLiteral("Locked"), QStringLiteral("Smart (by free minutes)")}, 0, 8, 34, 200);

    gbBasic3 = group(page, "gbBasic3", QStringLiteral("Error GSM causes"), 8, 410, 440, 140);
    lbBasicLack = label(gbBasic3, "lbBasicLack", QStringLiteral("Lack of digits in OVERLAP dial mode : "), 10, 24, 300);
    seBasicLack = spin(gbBasic3, "seBasicLack", 1, 254, 1, 320, 20);
    lbBasicRestricted =
        label(gbBasic3, "lbBasicRestricted", QStringLiteral("Restricted number prefix : "), 10, 52, 300);
    seBasicRestricted = spin(gbBasic3, "seBasicRestricted", 1, 254, 1, 320, 48);
    lbBasicSelected =
        label(gbBasic3, "lbBasicSelected", QStringLiteral("Selected module/GSM group is not ready: "), 10, 80, 300);
    seBasicSelected = spin(gbBasic3, "seBasicSelected", 1, 254, 1, 320, 76);
    lbBasicNomodule =
        label(gbBasic3, "lbBasicNomodule", QStringLiteral("No module/GSM group is ready : "), 10, 108, 300);
    seBasicModule = spin(gbBasic3, "seBasicModule", 1, 254, 1, 320, 104);
    SpeedButton1 = button(gbBasic3, "SpeedButton1", QStringLiteral("?"), 396, 20, 30);

    // Right column.
    gbBasic5 = group(page, "gbBasic5", QStringLiteral("Voice parametres of Siemens GSM modules"), 456, 8, 436, 128);
    lbBasicTran1 = label(gbBasic5, "lbBasicTran1", QStringLiteral("Transmission vol. : "), 10, 24, 140);
    tbBasicTran = volumeBar(gbBasic5, "tbBasicTran", marks5, 160, 20);
    lbBasicRec1 = label(gbBasic5, "lbBasicRec1", QStringLiteral("Reception vol. : "), 10, 66, 140);
    tbBasicRec = volumeBar(gbBasic5, "tbBasicRec", marks5, 160, 62);
    cbBasicSiemens = check(gbBasic5, "cbBasicSiemens", QStringLiteral("Siemens tone"), 10, 102, 300);

    gbBasic6 = group(page, "gbBasic6", QStringLiteral("Voice parametres of Wavecom modules"), 456, 140, 436, 136);
    lbBasicEcho = label(gbBasic6, "lbBasicEcho", QStringLiteral("Echo cancelling : "), 10, 24, 140);
    cbBasicVoice =
        combo(gbBasic6, "cbBasicVoice",
              {QStringLiteral("Off"), QStringLiteral("Echo 1,1,0,3,10,7"), QStringLiteral("Echo 1,3,30,8000,256")}, 0,
              160, 20, 220);
    lbBasicTran2 = label(gbBasic6, "lbBasicTran2", QStringLiteral("Transmission vol. : "), 10, 58, 140);
    tbBasicTran2 = volumeBar(gbBasic6, "tbBasicTran2", marks7, 160, 52);
    lbBasicRec2 = label(gbBasic6, "lbBasicRec2", QStringLiteral("Reception vol. : "), 10, 98, 140);
    tbBasicRec2 = volumeBar(gbBasic6, "tbBasicRec2", marks7, 160, 92);

    gbBasic4 = group(page, "gbBasic4", QStringLiteral("Sierra wireless modules settings :"), 456, 280, 436, 172);
    lbBasicTran4 = label(gbBasic4, "lbBasicTran4", QStringLiteral("Transmission vol. : "), 10, 24, 140);
    tbBasicTran4 = volumeBar(gbBasic4, "tbBasicTran4", marks5, 160, 20);
    lbBasicRec4 = label(gbBasic4, "lbBasicRec4", QStringLiteral("Reception vol. : "), 10, 66, 140);
    tbBasicRec4 = volumeBar(gbBasic4, "tbBasicRec4", marks5, 160, 62);
    lbBasicUse = label(gbBasic4, "lbBasicUse", QStringLiteral("Use networks :"), 10, 112, 140);
    cbBasicUse =
        combo(gbBasic4, "cbBasicUse",
              {QStringLiteral("GSM and 3G"), QStringLiteral("only GSM"), QStringLiteral("only 3G")}, 0, 160, 108);
    lbBasicSearch = label(gbBasic4, "lbBasicSearch", QStringLiteral("Searching priority :"), 10, 140, 140);
    cbBasicSearch = combo(
        gbBasic4, "cbBasicSearch",
        {QStringLiteral("Automatically"), QStringLiteral("GSM, then 3G"), QStringLiteral("3G, then GSM")}, 0, 160, 136);

    gbIsdn6 = group(page, "gbIsdn6", QStringLiteral("Cause transfer"), 456, 456, 436, 104);
    lbBasicCauses = place<QListWidget>(gbIsdn6, "lbBasicCauses", 10, 20, 260, 78);
    sbBasicCauseAdd = button(gbIsdn6, "sbBasicCauseAdd", QStringLiteral("Add"), 284, 18, 140);
    sbBasicCauseRemove = button(gbIsdn6, "sbBasicCauseRemove", QStringLiteral("Remove"), 284, 46, 140);
    sbBasicCauseRemoveAll = button(gbIsdn6, "sbBasicCauseRemoveAll", QStringLiteral("Remove all"), 284, 74, 140);

    sbBasicSave = button(page, "sbBasicSave", QStringLiteral("Save to gate"), 8, 600);
    sbBasicLoad = button(page, "sbBasicLoad", QStringLiteral("Load from gate"), 146, 600);
    sbBasicDefault = button(page, "sbBasicDefault", QStringLiteral("Defaults"), 284, 600);
    sbBasicSaveFile = button(page, "sbBasicSaveFile", QStringLiteral("Save to file"), 422, 600);
    addPageButtons(pBasic, {sbBasicSave, sbBasicLoad, sbBasicDefault, sbBasicSaveFile});

    // Key filters: digits and Backspace only in the number fields (seBasicRelaxKeyPress, seBasicDtmfKeyPress,
    // seBasicLackKeyPress and its three siblings).
    for (QSpinBox* s : {seBasicRelax, seBasicTimeoutRing, seBasicDtmf, seBasicLack, seBasicRestricted, seBasicSelected,
                        seBasicModule})
        DigitKeyFilter::install(s);

    // Change handlers. Lists report only the user's choices; spin edits, bars, check boxes and the PIN edit
    // report changes made by code too, as the page's loads rely on.
    for (QComboBox* c : {cbBasicVoice, cbBasicSelection, cbBasicUse, cbBasicSearch, cbBasicSim, cbBasicRecSms,
                         cbBasicDial, cbBasicRing, cbBasicBusy})
        QObject::connect(c, &QComboBox::activated, c, [] { markBasicChanged(); });
    for (QSlider* t : {tbBasicTran, tbBasicRec, tbBasicTran2, tbBasicRec2, tbBasicTran4, tbBasicRec4})
        QObject::connect(t, &QSlider::valueChanged, t, [] { markBasicChanged(); });
    for (QSpinBox* s : {seBasicRelax, seBasicDtmf, seBasicTimeoutRing, seBasicLack, seBasicRestricted, seBasicSelected,
                        seBasicModule})
        QObject::connect(s, &QSpinBox::valueChanged, s, [] { markBasicChanged(); });
    QObject::connect(seBasicDtmf, &QSpinBox::textChanged, seBasicDtmf, [this] { seBasicDtmfTextChange(); });
    for (QCheckBox* c : {cbBasicSiemens, cbBasicDisable, cbBasicActivateBusy})
        QObject::connect(c, &QCheckBox::toggled, c, [] { markBasicChanged(); });
    QObject::connect(edBasicPin, &QLineEdit::textChanged, edBasicPin, [this] { edBasicPinChange(); });

    QObject::connect(sbBasicCauseAdd, &QPushButton::clicked, sbBasicCauseAdd, [this] { sbBasicCauseAddClick(); });
    QObject::connect(sbBasicCauseRemove, &QPushButton::clicked, sbBasicCauseRemove,
                     [this] { sbBasicCauseRemoveClick(); });
    QObject::connect(sbBasicCauseRemoveAll, &QPushButton::clicked, sbBasicCauseRemoveAll,
                     [this] { sbBasicCauseRemoveAllClick(); });
    QObject::connect(SpeedButton1, &QPushButton::clicked, SpeedButton1, [this] { SpeedButton1Click(); });

    QObject::connect(sbBasicLoad, &QPushButton::clicked, sbBasicLoad, [this] { sbBasicLoadClick(); });
    QObject::connect(sbBasicSave, &QPushButton::clicked, sbBasicSave, [this] { sbBasicaveClick(); });
    QObject::connect(sbBasicDefault, &QPushButton::clicked, sbBasicDefault, [this] { sbBasicDefaultClick(); });
    QObject::connect(sbBasicSaveFile, &QPushButton::clicked, sbBasicSaveFile, [this] { sbBasicSaveFileClick(); });
}

void BasicPage::edBasicPinChange()
{
    edBasicPin->setPalette(QPalette());
    markBasicChanged();
}

void BasicPage::seBasicDtmfTextChange()
{
    // The red mark of a refused DTMF delay goes as soon as the field is edited again.
    seBasicDtmf->setPalette(QPalette());
}

bool BasicPage::basicValid()
{
    const QString text = seBasicDtmf->cleanText();
    if (text.isEmpty() || !IsAllDigits(text)) {
        QPalette red = seBasicDtmf->palette();
        red.setColor(QPalette::Base, Qt::red);
        seBasicDtmf->setPalette(red);
        return false;
    }
    seBasicDtmf->setPalette(QPalette());
    return true;
}

// ---- Cause transfer list and help list

void BasicPage::sbBasicCauseAddClick()
{
    if (lbBasicCauses->count() >= kMaxCauseEntries) {
        MessageBox(labelText(76), labelText(47), MB_ICONERROR);
        return;
    }
    fCause->setWindowTitle(labelText(438));
    fCause->sbCancel->setText(TextOrFallback(labelText(90), QStringLiteral("Cancel")));
    fCause->se1->setValue(1);
    fCause->se2->setValue(1);
    if (ShowModal(fCause) != QDialog::Accepted)
        return;
    const QString entry =
        QString::number(fCause->se1->value()) + QLatin1Char('/') + QString::number(fCause->se2->value());
    for (int i = 0; i < lbBasicCauses->count(); ++i)
        if (lbBasicCauses->item(i)->text() == entry)
            return;
    lbBasicCauses->addItem(entry);
    markBasicChanged();
}

void BasicPage::sbBasicCauseRemoveClick()
{
    const int row = lbBasicCauses->currentRow();
    if (row < 0 || !lbBasicCauses->currentItem()->isSelected())
        return;
    delete lbBasicCauses->takeItem(row);
    markBasicChanged();
    if (lbBasicCauses->count() > 0)
        lbBasicCauses->setCurrentRow(row > 0 ? row - 1 : 0);
}

void BasicPage::sbBasicCauseRemoveAllClick()
{
    lbBasicCauses->clear();
    markBasicChanged();
}

void BasicPage::SpeedButton1Click()
{
    TfQuestionMark::showHelpList(TfQuestionMark::CausesToIsdn);
}

// ---- Image

int BasicPage::basicSimFlags() const
{
    int flags = 0;
    if (cbBasicDisable->isChecked())
        flags += 4;
    if (cbBasicSim->currentIndex() == 1)
        flags += 1;
    if (cbBasicSiemens->isChecked())
        flags += 2;
    if (cbBasicRecSms->currentIndex() == 1)
        flags += 16;
    return flags;
}

int BasicPage::basicBusyValue() const
{
    const int position = cbBasicBusy->currentIndex();
    if (position == cbBasicBusy->count() - 1)
        return 255;
    // The list starts without a choice; nothing but a position of the list may reach the gateway.
    return position < 0 ? 0 : position;
}

namespace {

// Selects position when the list has it, else fallback.
void selectPosition(QComboBox* box, int position, int fallback)
{
    box->setCurrentIndex(position >= 0 && position < box->count() ? position : fallback);
}

// Puts a bar on position when the bar has it; any other value leaves it where it is.
void placeBar(QSlider* bar, int position)
{
    if (position >= bar->minimum() && position <= bar->maximum())
        bar->setValue(position);
}

} // namespace

TBasic BasicPage::basicShown() const
{
    TBasic b;
    b.relaxDelay = seBasicRelax->value();
    b.ringTimeout = seBasicTimeoutRing->value();
    b.simFlags = basicSimFlags();
    b.dialTone = qMax(cbBasicDial->currentIndex(), 0);
    b.ringTone = qMax(cbBasicRing->currentIndex(), 0);
    b.busyTone = basicBusyValue();
    b.busyStatus = cbBasicActivateBusy->isChecked() ? 4 : 0;
    b.siemensTransmit = tbBasicTran->value();
    b.siemensReceive = tbBasicRec->value();
    b.wavecomTransmit = tbBasicTran2->value();
    b.wavecomReceive = tbBasicRec2->value();
    b.sierraTransmit = tbBasicTran4->value();
    b.sierraReceive = tbBasicRec4->value();
    b.echoCancelling = qMax(cbBasicVoice->currentIndex(), 0);
    b.dtmfDelay = seBasicDtmf->value();
    b.networks = basicNetworksCode(cbBasicUse->currentIndex());
    b.searchPriority = qMax(cbBasicSearch->currentIndex(), 0);
    b.pin = edBasicPin->text();
    b.moduleSelection = qMax(cbBasicSelection->currentIndex(), 0);
    // Every entry goes into the image, a ninth one too: the gate file keeps the whole list.
    b.causes.clear();
    for (int i = 0; i < lbBasicCauses->count(); ++i)
        b.causes.push_back(lbBasicCauses->item(i)->text());
    b.causeLackOfDigits = seBasicLack->value();
    b.causeRestricted = seBasicRestricted->value();
    b.causeModuleNotReady = seBasicSelected->value();
    b.causeNoModuleReady = seBasicModule->value();
    return b;
}

void BasicPage::basicSaveFile()
{
    GateConfig.basic = basicShown();
}

void BasicPage::basicLoadFile()
{
    const TBasic& b = GateConfig.basic;
    seBasicRelax->setValue(b.relaxDelay);
    seBasicTimeoutRing->setValue(b.ringTimeout);
    cbBasicSim->setCurrentIndex(b.simFlags & 1 ? 1 : 0);
    cbBasicDisable->setChecked(b.simFlags & 4);
    cbBasicSiemens->setChecked(b.simFlags & 2);
    cbBasicRecSms->setCurrentIndex(b.simFlags & 16 ? 1 : 0);
    selectPosition(cbBasicDial, b.dialTone, 0);
    selectPosition(cbBasicRing, b.ringTone, 0);
    selectPosition(cbBasicBusy, b.busyTone >= 255 ? cbBasicBusy->count() - 1 : b.busyTone, 0);
    cbBasicActivateBusy->setChecked(b.busyStatus & 4);
    placeBar(tbBasicTran, b.siemensTransmit);
    placeBar(tbBasicRec, b.siemensReceive);
    placeBar(tbBasicTran2, b.wavecomTransmit);
    placeBar(tbBasicRec2, b.wavecomReceive);
    placeBar(tbBasicTran4, b.sierraTransmit);
    placeBar(tbBasicRec4, b.sierraReceive);
    selectPosition(cbBasicVoice, b.echoCancelling, 0);
    seBasicDtmf->setValue(b.dtmfDelay);
    cbBasicUse->setCurrentIndex(basicNetworksPosition(b.networks));
    selectPosition(cbBasicSearch, b.searchPriority, 0);
    edBasicPin->setText(b.pin);
    selectPosition(cbBasicSelection, b.moduleSelection, 0);
    lbBasicCauses->clear();
    for (const QString& entry : b.causes)
        lbBasicCauses->addItem(entry);
    seBasicLack->setValue(b.causeLackOfDigits);
    seBasicRestricted->setValue(b.causeRestricted);
    seBasicSelected->setValue(b.causeModuleNotReady);
    seBasicModule->setValue(b.causeNoModuleReady);
}

// ---- Label steps

void BasicPage::setLabelsBasic1(const Tlabels& t)
{
    setFrameButtonTexts(t, sbBasicSave, sbBasicLoad, sbBasicDefault, sbBasicSaveFile);
}

void BasicPage::setLabelsBasic2(const Tlabels& t)
{
    gbBasic3->setTitle(labelOr(t, 442, QStringLiteral("Error GSM causes")));
    lbBasicLack->setText(labelOr(t, 443, QStringLiteral("Lack of digits in OVERLAP dial mode : ")));
    lbBasicRestricted->setText(labelOr(t, 444, QStringLiteral("Restricted number prefix : ")));
    lbBasicSelected->setText(labelOr(t, 445, QStringLiteral("Selected module/GSM group is not ready: ")));
    lbBasicNomodule->setText(labelOr(t, 446, QStringLiteral("No module/GSM group is ready : ")));
}

void BasicPage::setLabelsBasic3(const Tlabels& t)
{
    setItems(cbBasicVoice,
             {labelOr(t, 911, QStringLiteral("Off")), labelOr(t, 912, QStringLiteral("Echo 1,1,0,3,10,7")),
              labelOr(t, 913, QStringLiteral("Echo 1,3,30,8000,256"))});
    lbBasicRelax->setText(labelOr(t, 291, QStringLiteral("Call delay [s] : ")));
    lbBasicTimeoutRing->setText(labelOr(t, 956, QStringLiteral("Timeout for ringing from GSM [s]")));
}

void BasicPage::setLabelsBasic4(const Tlabels& t)
{
    lbBasicSim->setText(labelOr(t, 295, QStringLiteral("SIM card number : ")));
    lbBasicDial->setText(labelOr(t, 296, QStringLiteral("Dialtone to NT interface on empty SETUP : ")));
    lbBasicRing->setText(labelOr(t, 297, QStringLiteral("Ring tone : ")));
    setItems(cbBasicRecSms,
             {labelOr(t, 783, QStringLiteral("SIM card")), labelOr(t, 784, QStringLiteral("GSM module"))});
    lbBasicRecSms->setText(labelOr(t, 785, QStringLiteral("Received SMS save to :")));
    gbIsdn6->setTitle(labelOr(t, 467, QStringLiteral("Cause transfer")));
    const QStringList tones{labelOr(t, 298, QStringLiteral("None")), labelOr(t, 299, QStringLiteral("European")),
                            labelOr(t, 300, QStringLiteral("Czech")), labelOr(t, 301, QStringLiteral("Hungarian")),
                            labelOr(t, 307, QStringLiteral("English"))};
    setItems(cbBasicDial, tones);
    setItems(cbBasicRing, tones);
    setItems(cbBasicBusy, tones + QStringList{labelOr(t, 972, QStringLiteral("Disabled"))});
    gbBasic5->setTitle(labelOr(t, 483, QStringLiteral("Voice parametres of Siemens GSM modules : ")));
    gbBasic6->setTitle(labelOr(t, 484, QStringLiteral("Voice parametres of wavecom GSM modules : ")));
    for (QLabel* l : {lbBasicTran1, lbBasicTran2, lbBasicTran4})
        l->setText(labelOr(t, 485, QStringLiteral("Transmission vol. : ")));
    for (QLabel* l : {lbBasicRec1, lbBasicRec2, lbBasicRec4})
        l->setText(labelOr(t, 486, QStringLiteral("Reception vol. : ")));
    cbBasicSiemens->setText(labelOr(t, 487, QStringLiteral("Siemens tone")));
    lbBasicEcho->setText(labelOr(t, 488, QStringLiteral("Echo cancelling : ")));
    lbBasicDtmf->setText(labelOr(t, 616, QStringLiteral("Delay [s] :")));
    gbBasic12->setTitle(labelOr(t, 622, QStringLiteral("Signalling tone :")));
    cbBasicDisable->setText(labelOr(t, 623, QStringLiteral("Don't send CLIP for calls GSM -> BRI")));
    // These three have no English text of their own: an empty entry keeps what the control shows.
    lbBasicUse->setText(labelOr(t, 695, lbBasicUse->text()));
    lbBasicSearch->setText(labelOr(t, 696, lbBasicSearch->text()));
    gbBasic4->setTitle(labelOr(t, 694, gbBasic4->title()));
    setItems(cbBasicUse, {labelOr(t, 698, QStringLiteral("3G and GSM")), labelOr(t, 699, QStringLiteral("only GSM")),
                          labelOr(t, 700, QStringLiteral("only 3G"))});
    setItems(cbBasicSearch,
             {labelOr(t, 701, QStringLiteral("Automatically")), labelOr(t, 702, QStringLiteral("GSM, then 3G")),
              labelOr(t, 703, QStringLiteral("3G, then GSM"))});
    // The Czech caption fits on one line, the others need two: one or two lines of the label's own font
    // (13 and 30 pixels, or more where the font's lines are taller), so that no caption is clipped.
    const bool czech = fMain && fMain->tbCzech && fMain->tbCzech->isChecked();
    const QFontMetrics fm(lbBasicPin->font());
    lbBasicPin->setGeometry(lbBasicPin->x(), czech ? 22 : 16, lbBasicPin->width(),
                            czech ? std::max(13, fm.height()) : std::max(30, fm.lineSpacing() + fm.height()));
    lbBasicPin->setText(labelOr(t, 750, QStringLiteral("SIM cards PIN number :")));
    lbBasicSelection->setText(labelOr(t, 751, QString()));
    setItems(cbBasicSelection, {labelOr(t, 752, QStringLiteral("Cyclic")), labelOr(t, 753, QStringLiteral("Locked")),
                                labelOr(t, 754, QStringLiteral("Smart (by free minutes)"))});
}

void BasicPage::setLabelsBasic5(const Tlabels& t)
{
    sbBasicCauseAdd->setText(labelOr(t, 302, QStringLiteral("Add")));
    sbBasicCauseRemove->setText(labelOr(t, 303, QStringLiteral("Remove")));
    sbBasicCauseRemoveAll->setText(labelOr(t, 304, QStringLiteral("Remove all")));
}

void BasicPage::setLabelsBasic6(const Tlabels& t)
{
    lbBasicBusy->setText(labelOr(t, 889, QStringLiteral("Busy tone :")));
}

void BasicPage::setLabelsBasic7(const Tlabels& t)
{
    Label2->setText(labelOr(t, 902, QStringLiteral("(0=off)")));
    cbBasicActivateBusy->setText(labelOr(t, 971, QStringLiteral("Activate BUSY response to GSM")));
}
