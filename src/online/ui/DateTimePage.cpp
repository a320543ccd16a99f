#include "online/ui/DateTimePage.h"

#include "link/CommError.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/ui/ConnectionPart.h"
#include "online/GatewayClock.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/TfParam.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kDateTimeTopic = 18;

void clockError()
{
    CommErrorBox();
}

bool halfTyped(const QLineEdit* edit)
{
    return edit->text().contains(QLatin1Char('_'));
}

void markHalfTyped(QLineEdit* edit, bool half)
{
    QPalette red = edit->palette();
    red.setColor(QPalette::Base, Qt::red);
    edit->setPalette(half ? red : QPalette());
}

// A digit place not typed yet would reach the gateway as another date or time: such a field is marked, the
// first of them gets the focus, and nothing is sent.
bool clockFieldsWhole(QLineEdit* date, QLineEdit* time)
{
    bool whole = true;
    for (QLineEdit* edit : {date, time}) {
        const bool half = halfTyped(edit);
        markHalfTyped(edit, half);
        if (half && whole)
            edit->setFocus();
        whole = whole && !half;
    }
    return whole;
}

// The mark goes as soon as the field holds a whole value again.
void unmarkWhenWhole(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] {
        if (!halfTyped(edit) && edit->palette().color(QPalette::Base) == QColor(Qt::red))
            markHalfTyped(edit, false);
    });
}

} // namespace

void DateTimePage::buildDateTimePage(QWidget* host)
{
    pDateTime = addTopicPage(host, "pDateTime", kDateTimeTopic);
    QWidget* page = pDateTime->widget();
    cbSynDateTime = named(new QCheckBox(QStringLiteral("Synchronize with system date/time"), page), "cbSynDateTime");
    cbSynDateTime->setChecked(true);
    eDate = named(new QLineEdit(OvertypeKeyFilter::emptyText(OvertypeKeyFilter::Date), page), "eDate");
    eTime = named(new QLineEdit(OvertypeKeyFilter::emptyText(OvertypeKeyFilter::LongTime), page), "eTime");
    OvertypeKeyFilter::install(eDate, OvertypeKeyFilter::Date);
    OvertypeKeyFilter::install(eTime, OvertypeKeyFilter::LongTime);
    // Whatever reaches the edits another way (a paste) is held to the command's room.
    eDate->setMaxLength(10);
    eTime->setMaxLength(8);
    unmarkWhenWhole(eDate);
    unmarkWhenWhole(eTime);
    cbDay = named(new QComboBox(page), "cbDay");
    cbDay->addItems({QStringLiteral("Monday"), QStringLiteral("Tuesday"), QStringLiteral("Wednesday"),
                     QStringLiteral("Thursday"), QStringLiteral("Friday"), QStringLiteral("Saturday"),
                     QStringLiteral("Sunday")});
    lbDateFormat = named(new QLabel(QStringLiteral("dd.mm.yyyy"), page), "lbDateFormat");
    lbTimeFormat = named(new QLabel(QStringLiteral("hh:mm:ss"), page), "lbTimeFormat");
    sbDateTimeSave = named(new QPushButton(QStringLiteral("Save to gate"), page), "sbDateTimeSave");
    tDateTime = named(new QTimer(page), "tDateTime");
    tDateTime->setInterval(500);

    auto* grid = new QGridLayout;
    grid->addWidget(eDate, 0, 0);
    grid->addWidget(lbDateFormat, 0, 1);
    grid->addWidget(cbDay, 1, 0);
    grid->addWidget(eTime, 2, 0);
    grid->addWidget(lbTimeFormat, 2, 1);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(cbSynDateTime);
    layout->addLayout(grid);
    layout->addWidget(sbDateTimeSave, 0, Qt::AlignLeft);
    layout->addStretch();

    QObject::connect(tDateTime, &QTimer::timeout, page, [this] { tDateTimeTimer(); });
    QObject::connect(sbDateTimeSave, &QPushButton::clicked, page, [this] { sbDateTimeSaveClick(); });
    QObject::connect(cbSynDateTime, &QCheckBox::toggled, page, [this] { cbSynDateTimeClick(); });
    if (fMain)
        fMain->setTopicSection(kDateTimeTopic, [this](bool chosen) { return dateTimeSection(chosen); });
}

void DateTimePage::setLabelsDateTime(const Tlabels& t)
{
    cbSynDateTime->setText(labelOr(t, 116, QStringLiteral("Synchronize with system date/time")));
    const int kept = cbDay->currentIndex();
    static const char* const days[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    for (int i = 0; i < 7; ++i)
        cbDay->setItemText(i, labelOr(t, 117 + i, QString::fromLatin1(days[i])));
    cbDay->setCurrentIndex(kept);
    sbDateTimeSave->setText(labelOr(t, 127, QStringLiteral("Save to gate")));
}

void DateTimePage::setClockFields(const ClockFields& fields)
{
    eDate->setText(fields.date);
    eTime->setText(fields.time);
    cbDay->setCurrentIndex(fields.dayIndex);
}

void DateTimePage::enableClockFields(bool on)
{
    eDate->setEnabled(on);
    eTime->setEnabled(on);
    cbDay->setEnabled(on);
}

void DateTimePage::tDateTimeTimer()
{
    if (!cbSynDateTime->isChecked() || !pDateTime->isVisible())
        return;
    setClockFields(PcClockFields(QDateTime::currentDateTime()));
}

bool DateTimePage::readGatewayClock()
{
    connectForPageRun();
    if (!CurrentConnection.Connected)
        return false;
    ShowProgress(3, fMain);
    // A failure's box stands over the progress window, which closes once the box has been answered.
    const ExchangeResult e = SendWholeCommand(QByteArrayLiteral("AT&V\r"), 0);
    const QByteArray& reply = e.reply;
    if (!e.written || !ReplyHasOkLine(reply)) {
        if (!RefusedForWait(e))
            clockError();
        HideProgress(fMain);
        return false;
    }
    HideProgress(fMain);
    ClockFields fields;
    if (!ParseClockReply(reply, fields))
        fields = PcClockFields(QDateTime::currentDateTime());
    setClockFields(fields);
    return true;
}

void DateTimePage::sbDateTimeSaveClick()
{
    if (!clockFieldsWhole(eDate, eTime)) {
        MessageBox(labelText(204), labelText(47), MB_ICONERROR);
        return;
    }
    connectForPageRun();
    if (!CurrentConnection.Connected)
        return;
    const QByteArray command = ClockSetCommand(eDate->text(), cbDay->currentIndex(), eTime->text());
    if (command.isEmpty()) {
        clockError();
        return;
    }
    const ExchangeResult e = SendWholeCommand(command, 0);
    if (e.written && ReplyHasOkLine(e.reply))
        MessageBox(labelText(66), labelText(54), MB_ICONINFORMATION);
    else if (!RefusedForWait(e))
        clockError();
}

void DateTimePage::cbSynDateTimeClick()
{
    if (firstActivation)
        return;
    const bool sync = cbSynDateTime->isChecked();
    enableClockFields(!sync);
    {
        IniFile settings(programFile(QStringLiteral("settings.ini")));
        settings.WriteBool(QStringLiteral("main"), QStringLiteral("SynchronizeTimeWithPc"), sync);
    }
    if (!sync)
        readGatewayClock();
}

bool DateTimePage::dateTimeSection(bool chosen)
{
    tDateTime->start();
    if (!chosen) {
        pDateTime->hide();
        return true;
    }
    if (fMain)
        fMain->showTopicTitle(kDateTimeTopic, false);
    if (cbSynDateTime->isChecked()) {
        enableClockFields(false);
        if (pDateTime->isVisible())
            setClockFields(PcClockFields(QDateTime::currentDateTime()));
    } else {
        enableClockFields(true);
        if (!readGatewayClock())
            return false;
    }
    pDateTime->show();
    return true;
}
