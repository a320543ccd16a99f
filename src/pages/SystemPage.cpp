#include "pages/SystemPage.h"

#include "config/ConfigConversions.h"
#include "config/Parametres.h"
#include "exchange/SystemExchange.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/PageState.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/PageArea.h"
#include "ui/TfLoad.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

void setStatus(const QString& text)
{
    if (fLoad)
        fLoad->SetStatus(text);
}

QPushButton* pageButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

void SystemPage::buildSystemPage(QWidget* host)
{
    pSystem = addTopicPage(host, "pSystem", 30);
    registerPage(PageId::System, systemFrame());
    QWidget* page = pSystem->widget();

    gbSystem1 = new QGroupBox(QStringLiteral("Modes :"), page);
    gbSystem1->setObjectName(QStringLiteral("gbSystem1"));
    lbSystemCDRmode = new QLabel(QStringLiteral("Saving call data (cdr) : "), gbSystem1);
    lbSystemCDRmode->setObjectName(QStringLiteral("lbSystemCDRmode"));
    cbSystemCDRmode = new QComboBox(gbSystem1);
    cbSystemCDRmode->setObjectName(QStringLiteral("cbSystemCDRmode"));
    cbSystemCDRmode->addItems({QStringLiteral("None"), QStringLiteral("Successful Outgoing"),
                               QStringLiteral("Successful Incoming"), QStringLiteral("All successful"),
                               QStringLiteral("All outgoing"), QStringLiteral("All incoming"), QStringLiteral("All")});
    cbSystemCDRmode->setCurrentIndex(0);
    lbSystemGateId = new QLabel(QStringLiteral("Gate ID : "), gbSystem1);
    lbSystemGateId->setObjectName(QStringLiteral("lbSystemGateId"));
    seSystemGate = new QSpinBox(gbSystem1);
    seSystemGate->setObjectName(QStringLiteral("seSystemGate"));
    seSystemGate->setRange(0, 255);
    Label11 = new QLabel(QStringLiteral("(0 = off)"), gbSystem1);
    Label11->setObjectName(QStringLiteral("Label11"));

    auto* modes = new QGridLayout(gbSystem1);
    modes->addWidget(lbSystemCDRmode, 0, 0);
    modes->addWidget(cbSystemCDRmode, 0, 1, 1, 2);
    modes->addWidget(lbSystemGateId, 1, 0);
    modes->addWidget(seSystemGate, 1, 1);
    modes->addWidget(Label11, 1, 2);
    modes->setColumnStretch(3, 1);

    cbSystemReset = new QCheckBox(QStringLiteral("Enable system reset"), page);
    cbSystemReset->setObjectName(QStringLiteral("cbSystemReset"));
    lbSystemReset = new QLabel(QStringLiteral("Time of system reset [hh:mm] :"), page);
    lbSystemReset->setObjectName(QStringLiteral("lbSystemReset"));
    edSystemReset = new QLineEdit(page);
    edSystemReset->setObjectName(QStringLiteral("edSystemReset"));
    edSystemReset->setMaxLength(5);
    edSystemReset->setFixedWidth(60);
    edSystemReset->setText(kNoSystemReset);

    sbSystemSave = pageButton(page, "sbSystemSave", QStringLiteral("Save to gate"));
    sbSystemLoad = pageButton(page, "sbSystemLoad", QStringLiteral("Load from gate"));
    sbSystemDefault = pageButton(page, "sbSystemDefault", QStringLiteral("Defaults"));
    sbSystemSaveFile = pageButton(page, "sbSystemSaveFile", QStringLiteral("Save to file"));

    auto* resetRow = new QHBoxLayout;
    resetRow->addWidget(lbSystemReset);
    resetRow->addWidget(edSystemReset);
    resetRow->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(gbSystem1);
    layout->addWidget(cbSystemReset);
    layout->addLayout(resetRow);
    layout->addStretch();
    addPageButtons(pSystem, {sbSystemSave, sbSystemLoad, sbSystemDefault, sbSystemSaveFile});

    showResetState();

    DigitKeyFilter::install(seSystemGate);
    OvertypeKeyFilter::install(edSystemReset, OvertypeKeyFilter::Time);

    QObject::connect(sbSystemLoad, &QPushButton::clicked, sbSystemLoad, [this] { sbSystemLoadClick(); });
    QObject::connect(sbSystemSave, &QPushButton::clicked, sbSystemSave, [this] { sbSystemSaveClick(); });
    QObject::connect(sbSystemDefault, &QPushButton::clicked, sbSystemDefault, [this] { sbSystemDefaultClick(); });
    QObject::connect(sbSystemSaveFile, &QPushButton::clicked, sbSystemSaveFile, [this] { sbSystemSaveFileClick(); });
    QObject::connect(cbSystemReset, &QCheckBox::toggled, cbSystemReset, [this] { cbSystemResetClick(); });
    QObject::connect(cbSystemCDRmode, &QComboBox::activated, cbSystemCDRmode, [this] { cbSystemCDRmodeChange(); });
    QObject::connect(seSystemGate, &QSpinBox::valueChanged, seSystemGate, [this] { seSystemGateChange(); });
    QObject::connect(edSystemReset, &QLineEdit::textChanged, edSystemReset, [this] { edSystemResetChange(); });
}

void SystemPage::setLabelsSystem(const Tlabels& t)
{
    Label11->setText(labelOr(t, 902, QStringLiteral("(0=off)")));
    gbSystem1->setTitle(labelOr(t, 237, QStringLiteral("IP settings :")));
    lbSystemCDRmode->setText(labelOr(t, 241, QStringLiteral("CDR mode :")));
    lbSystemGateId->setText(labelOr(t, 573, QStringLiteral("Gate ID :")));
    lbSystemReset->setText(labelOr(t, 739, QStringLiteral("Time of system reset [hh:mm] :")));
    cbSystemReset->setText(labelOr(t, 738, QStringLiteral("Enable system reset")));
    setFrameButtonTexts(t, sbSystemSave, sbSystemLoad, sbSystemDefault, sbSystemSaveFile);

    // The items are rewritten in place, so the chosen mode (or none) stays chosen.
    static const char* const kModes[] = {
        "None", "Successful Outgoing", "Successful Incoming", "All successful", "All outgoing", "All incoming", "All"};
    const int chosen = cbSystemCDRmode->currentIndex();
    for (int i = 0; i < 7; ++i)
        cbSystemCDRmode->setItemText(i, labelOr(t, 255 + i, QString::fromLatin1(kModes[i])));
    cbSystemCDRmode->setCurrentIndex(chosen);
}

bool SystemPage::systemLoad()
{
    setStatus(QStringLiteral("AT&&V"));
    ReplyReading reading;
    reading.size = 1024;
    const ExchangeResult e = Exchange(QByteArrayLiteral("AT&V\r\n"), 10, reading);
    if (!e.written) {
        LoadErrors += kSystemLineAll;
        return false;
    }
    const QByteArray& reply = e.reply;
    if (!reply.contains("OK")) {
        LoadErrors += kSystemLineAll;
        return false;
    }
    viewReplyCache.store(viewReplyCache.atV, reply);

    const TSystem read = parseSystemView(reply, LoadErrors);
    cbSystemCDRmode->setCurrentIndex(cdrCodeToPosition(read.cdrMode));
    seSystemGate->setValue(read.gateId);
    edSystemReset->setText(read.resetTime);
    showResetState();

    systemSaveFile();
    return true;
}

bool SystemPage::systemSave()
{
    bool ok = true;
    // What the page shows, a partly typed reset time included (the buttons refuse one before they get here).
    TSystem shown;
    shown.cdrMode = cdrPositionToCode(cbSystemCDRmode->currentIndex());
    shown.gateId = seSystemGate->value();
    shown.resetTime = cbSystemReset->isChecked() ? edSystemReset->text() : kNoSystemReset;

    const QByteArray s91 = systemCdrCommand(shown);
    setStatus(QString::fromLatin1(s91));
    ReplyReading reading;
    reading.size = 1024;
    const ExchangeResult e = Exchange(s91, 10, reading, true);
    if (!e.written && !e.refused) {
        LoadErrors += kSystemLineS91;
        ok = false;
    }
    if (!e.reply.contains("OK")) {
        // After a failed write the line is there already: one line per failed item.
        if (!LoadErrors.contains(kSystemLineS91))
            LoadErrors += kSystemLineS91;
        ok = false;
    }

    QByteArray reply;
    if (!SendCommand(systemResetCommand(shown), reply, 1024, LoadErrors, kSystemLineReset))
        ok = false;

    systemSaveFile();
    return ok;
}

void SystemPage::systemSaveFile()
{
    TSystem& s = GateConfig.system;
    s.cdrMode = cdrPositionToCode(cbSystemCDRmode->currentIndex());
    s.gateId = seSystemGate->value();
    // A partly typed time never reaches the image; the runs that send or write the page refuse it first
    // (systemValid), and a copy made without asking keeps the image's time.
    if (!cbSystemReset->isChecked())
        s.resetTime = kNoSystemReset;
    else if (isCompleteTime(edSystemReset->text()))
        s.resetTime = edSystemReset->text();
}

bool SystemPage::systemValid()
{
    return !cbSystemReset->isChecked() || TimeEditComplete(edSystemReset);
}

void SystemPage::systemLoadFile()
{
    const TSystem& s = GateConfig.system;
    const int position = cdrCodeToPosition(s.cdrMode);
    cbSystemCDRmode->setCurrentIndex(position < 0 ? 0 : position);
    seSystemGate->setValue(s.gateId);
    edSystemReset->setText(s.resetTime);
    showResetState();
}

const PageFrame& SystemPage::systemFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = pcSystem;
        f.defaultMask = gsSystem;
        f.fileMask = gsSystem;
        f.fileFailureCaption = kCaptionInformation;
        f.load = [] { return fMain->systemLoad(); };
        f.save = [] { return fMain->systemSave(); };
        f.unreachedLines = kSystemLineAll;
        f.saveValid = [] { return fMain->systemValid(); };
        f.timesValid = [] { return fMain->systemValid(); };
        f.toImage = [] { fMain->systemSaveFile(); };
        f.fromImage = [] { fMain->systemLoadFile(); };
        return f;
    }();
    return frame;
}

void SystemPage::sbSystemLoadClick()
{
    systemFrame().loadClick();
}

void SystemPage::sbSystemSaveClick()
{
    systemFrame().saveClick();
}

void SystemPage::sbSystemDefaultClick()
{
    systemFrame().defaultClick();
}

void SystemPage::sbSystemSaveFileClick()
{
    systemFrame().saveFileClick();
}

void SystemPage::cbSystemResetClick()
{
    const bool on = cbSystemReset->isChecked();
    lbSystemReset->setEnabled(on);
    edSystemReset->setEnabled(on);
    pageChanged[pcSystem] = 1;
}

void SystemPage::cbSystemCDRmodeChange()
{
    pageChanged[pcSystem] = 1;
}

void SystemPage::seSystemGateChange()
{
    pageChanged[pcSystem] = 1;
}

void SystemPage::edSystemResetChange()
{
    pageChanged[pcSystem] = 1;
}

void SystemPage::showResetState()
{
    const bool on = edSystemReset->text() != kNoSystemReset;
    cbSystemReset->setChecked(on); // its click handler runs when the state changes, as a click would
    lbSystemReset->setEnabled(on);
    edSystemReset->setEnabled(on);
}
