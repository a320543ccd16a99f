#include "link/ui/TfCommSettings.h"

#include "link/LinkState.h"
#include "link/ProgramSettings.h"
#include "platform/ComPort.h"
#include "platform/Dialogs.h"
#include "platform/ModemLine.h"
#include "platform/ProgramDir.h"
#include "texts/LabelRule.h"
#include "ui/WindowUtil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kItemSerial = 0;
constexpr int kItemLan = 1;
constexpr int kItemModem = 2;
constexpr int kTimeoutText = 107;

const qint32 kBaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

// Fills an editable device list: the devices found, and the current name too when it is not among them.
void fillDevices(QComboBox* combo, const QStringList& devices, const QString& current)
{
    combo->blockSignals(true);
    combo->clear();
    combo->addItems(devices);
    if (!current.isEmpty() && combo->findText(current) < 0)
        combo->addItem(current);
    combo->setCurrentIndex(combo->findText(current));
    combo->setEditText(current);
    combo->blockSignals(false);
}

} // namespace

TfCommSettings::TfCommSettings(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfCommSettings"));

    gbComm = named(new QGroupBox(this), "gbComm");
    lbCommType = named(new QLabel(gbComm), "lbCommType");
    cbCommType = named(new QComboBox(gbComm), "cbCommType");
    cbCommType->addItems({QStringLiteral("Serial"), QStringLiteral("LAN"), QStringLiteral("Modem")});
    // A drop-down list: only the user's choice runs the handler, as the combo box's OnChange did.
    connect(cbCommType, &QComboBox::activated, this, [this] { cbCommTypeChange(); });
    auto* commLayout = new QHBoxLayout(gbComm);
    commLayout->addWidget(lbCommType);
    commLayout->addWidget(cbCommType, 1);

    gSett = named(new QGroupBox(this), "gSett");
    lbSettings1 = named(new QLabel(gSett), "lbSettings1");
    lbSettings2 = named(new QLabel(gSett), "lbSettings2");
    cbComPort = named(new QComboBox(gSett), "cbComPort");
    cbComPort->setEditable(true); // a device path may be typed
    auto* timeoutBox = new QWidget(gSett);
    eTimeResponse = named(new QLineEdit(timeoutBox), "eTimeResponse");
    lbTimeUnit = named(new QLabel(QStringLiteral("ms"), timeoutBox), "lbTimeUnit");
    auto* timeoutLayout = new QHBoxLayout(timeoutBox);
    timeoutLayout->setContentsMargins(0, 0, 0, 0);
    timeoutLayout->addWidget(eTimeResponse, 1);
    timeoutLayout->addWidget(lbTimeUnit);
    cbModem = named(new QComboBox(gSett), "cbModem");
    cbModem->setEditable(true);
    lbBaudrate = named(new QLabel(gSett), "lbBaudrate");
    cbBaudrate = named(new QComboBox(gSett), "cbBaudrate");
    for (const qint32 rate : kBaudRates)
        cbBaudrate->addItem(QString::number(rate));
    auto* settLayout = new QGridLayout(gSett);
    // The two labels lie at one place, as do the serial port, the time-out and the modem: one of each shows.
    settLayout->addWidget(lbSettings1, 0, 0);
    settLayout->addWidget(lbSettings2, 0, 0);
    settLayout->addWidget(cbComPort, 0, 1);
    settLayout->addWidget(timeoutBox, 0, 1);
    settLayout->addWidget(cbModem, 0, 1);
    settLayout->addWidget(lbBaudrate, 1, 0);
    settLayout->addWidget(cbBaudrate, 1, 1);
    settLayout->setColumnStretch(1, 1);

    gbLog = named(new QGroupBox(this), "gbLog");
    cbSaveLog = named(new QCheckBox(gbLog), "cbSaveLog");
    cbAppendLog = named(new QCheckBox(gbLog), "cbAppendLog");
    auto* logLayout = new QVBoxLayout(gbLog);
    logLayout->addWidget(cbSaveLog);
    logLayout->addWidget(cbAppendLog);

    sbOk = named(new QPushButton(this), "sbOk");
    sbOk->setDefault(true);
    sbCancel = named(new QPushButton(this), "sbCancel");
    connect(sbOk, &QPushButton::clicked, this, [this] { sbOkClick(); });
    connect(sbCancel, &QPushButton::clicked, this, [this] { sbCancelClick(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sbOk);
    buttons->addWidget(sbCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gbComm);
    layout->addWidget(gSett);
    layout->addWidget(gbLog);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    setLabels({});
    showSettingsControls();
}

void TfCommSettings::FormActivate()
{
    const ConnectionRecord& c = CurrentConnection;
    fillDevices(cbModem, ModemLine::availableModems(), c.ModemName);
    fillDevices(cbComPort, ComPort::availablePorts(), c.ComPortName);
    const int rate = cbBaudrate->findText(QString::number(c.ModemBaudRate));
    if (rate >= 0)
        cbBaudrate->setCurrentIndex(rate);
    cbSaveLog->setChecked(c.SaveLog);
    cbAppendLog->setChecked(c.Append);

    lanTimeout_ = c.LanTimeout;
    tapiTimeout_ = c.TapiTimeout;
    shownItem_ = -1;
    cbCommType->setCurrentIndex(c.LinkType >= 1 && c.LinkType <= 3 ? c.LinkType - 1 : -1);
    cbCommTypeChange();
}

void TfCommSettings::keepShownTimeout()
{
    bool ok = false;
    const int value = eTimeResponse->text().trimmed().toInt(&ok);
    if (!ok)
        return;
    if (shownItem_ == kItemLan)
        lanTimeout_ = value;
    else if (shownItem_ == kItemModem)
        tapiTimeout_ = value;
}

void TfCommSettings::cbCommTypeChange()
{
    keepShownTimeout();
    shownItem_ = cbCommType->currentIndex();
    if (shownItem_ == kItemLan)
        eTimeResponse->setText(QString::number(lanTimeout_));
    else if (shownItem_ == kItemModem)
        eTimeResponse->setText(QString::number(tapiTimeout_));
    setSettingsTexts(labelTexts);
    showSettingsControls();
}

void TfCommSettings::showSettingsControls()
{
    const int item = cbCommType->currentIndex();
    lbSettings1->setVisible(item == kItemSerial || item == kItemModem);
    lbSettings2->setVisible(item == kItemLan);
    cbComPort->setVisible(item == kItemSerial);
    eTimeResponse->parentWidget()->setVisible(item == kItemLan);
    cbModem->setVisible(item == kItemModem);
    lbBaudrate->setVisible(item == kItemModem);
    cbBaudrate->setVisible(item == kItemModem);
}

void TfCommSettings::sbOkClick()
{
    const int item = cbCommType->currentIndex();
    if (item == kItemLan || item == kItemModem) {
        bool ok = false;
        const int value = eTimeResponse->text().trimmed().toInt(&ok);
        if (!ok || value <= 0) {
            MessageBox(labelText(kTimeoutText), labelText(47), MB_ICONERROR);
            eTimeResponse->setFocus();
            return;
        }
    }
    keepShownTimeout();

    ConnectionRecord& c = CurrentConnection;
    if (item >= 0)
        c.LinkType = quint8(item + 1);
    c.LanTimeout = lanTimeout_;
    c.TapiTimeout = tapiTimeout_;
    c.ComPortName = cbComPort->currentText().trimmed();
    c.ModemName = cbModem->currentText().trimmed();
    c.TapiModem = cbModem->findText(c.ModemName);
    c.ModemBaudRate = cbBaudrate->currentText().toInt();
    c.SaveLog = cbSaveLog->isChecked();
    c.Append = cbAppendLog->isChecked();
    if (!WriteCommSettings(c, CurrentGateway.Name))
        MessageBox(QStringLiteral("Unable to write to %1").arg(programFile(QStringLiteral("settings.ini"))),
                   labelText(47), MB_ICONERROR);
    accept();
}

void TfCommSettings::sbCancelClick()
{
    reject();
}

void TfCommSettings::setLabels(const Tlabels& t)
{
    setWindowTitle(labelOr(t, 831, QStringLiteral("Communication settings")));
    gbComm->setTitle(labelOr(t, 79, QStringLiteral("Type of communication")));
    lbCommType->setText(labelOr(t, 79, QStringLiteral("Type of communication")));
    const struct
    {
        int k;
        const char* english;
    } items[] = {{80, "Serial"}, {81, "LAN"}, {647, "Modem"}};
    for (int i = 0; i < 3; ++i)
        cbCommType->setItemText(i, labelOr(t, items[i].k, QString::fromLatin1(items[i].english)));
    gbLog->setTitle(labelOr(t, 82, QStringLiteral("Communication LOG")));
    cbSaveLog->setText(labelOr(t, 83, QStringLiteral("Save communication LOG to a file")));
    cbAppendLog->setText(labelOr(t, 84, QStringLiteral("Append LOG file")));
    lbSettings2->setText(labelOr(t, 733, QStringLiteral("Timeout for sending commands to gate [s] :")));
    lbBaudrate->setText(labelOr(t, 881, QStringLiteral("Baudrate [Bd/s]")));
    setSettingsTexts(t);
    sbOk->setText(labelOr(t, 89, QStringLiteral("OK")));
    sbCancel->setText(labelOr(t, 90, QStringLiteral("Cancel")));
}

void TfCommSettings::setSettingsTexts(const Tlabels& t)
{
    switch (cbCommType->currentIndex()) {
    case kItemSerial:
        gSett->setTitle(labelOr(t, 86, QStringLiteral("Serial communication settings : ")));
        lbSettings1->setText(labelOr(t, 87, QStringLiteral("Serial communication settings : ")));
        break;
    case kItemLan:
        gSett->setTitle(labelOr(t, 85, QStringLiteral("LAN communication settings : ")));
        lbSettings2->setText(labelOr(t, 88, QStringLiteral("LAN communication settings : ")));
        break;
    case kItemModem:
        gSett->setTitle(labelOr(t, 649, QStringLiteral("Modem communication settings : ")));
        lbSettings1->setText(labelOr(t, 649, QStringLiteral("Modem communication settings : ")));
        break;
    case 3: // the ISDN modem, which the list does not offer
        gSett->setTitle(labelOr(t, 650, QStringLiteral("ISDN modem communication settings : ")));
        lbSettings1->setText(labelOr(t, 650, QStringLiteral("ISDN modem communication settings : ")));
        break;
    default:
        break;
    }
}
