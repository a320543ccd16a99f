#include "pages/TfLcr.h"

#include "config/Parametres.h"
#include "exchange/TablesExchange.h"
#include "link/ReplyParsers.h"
#include "pages/PageFrame.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/TfMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const char* const kGroupItems[] = {"<None>", "GSM module 1", "GSM module 2", "Any module", "opposite ISDN"};
constexpr int kGroupTexts[] = {392, 778, 779, 780, 781};

void markRed(QWidget* edit, bool red)
{
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, Qt::red);
    edit->setPalette(red ? p : QPalette());
}

} // namespace

QChar lcrGroupDigit(int item)
{
    return item == 4 ? QLatin1Char('9') : QChar(u'0' + item);
}

int lcrGroupItem(QChar digit)
{
    if (digit == QLatin1Char('9'))
        return 4;
    if (digit >= QLatin1Char('1') && digit <= QLatin1Char('3'))
        return digit.unicode() - u'0';
    return -1;
}

TfLcr::TfLcr(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfLcr"));
    setWindowTitle(QStringLiteral("Add/Edit LCR table"));

    lbId = new QLabel(QStringLiteral("Network ID :"), this);
    lbId->setObjectName(QStringLiteral("lbId"));
    cbNetwork = new QComboBox(this);
    cbNetwork->setObjectName(QStringLiteral("cbNetwork"));
    for (int i = 1; i <= 8; ++i)
        cbNetwork->addItem(QStringLiteral("Group %1").arg(i));
    cbNetwork->setMinimumWidth(200);

    gb1 = new QGroupBox(QStringLiteral("Time limitation of use"), this);
    gb1->setObjectName(QStringLiteral("gb1"));
    auto label = [](QWidget* parent, const char* name, const char* text) {
        auto* l = new QLabel(QString::fromLatin1(text), parent);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto timeEdit = [this](const char* name, const char* text) {
        auto* e = new QLineEdit(QString::fromLatin1(text), gb1);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(5);
        e->setFixedWidth(60);
        OvertypeKeyFilter::install(e, OvertypeKeyFilter::Time); // edFromKeyDown/KeyPress, edToKeyDown/KeyPress
        connect(e, &QLineEdit::textChanged, e, [e] { markRed(e, false); });
        return e;
    };
    lbFrom = label(gb1, "lbFrom", "From:");
    edFrom = timeEdit("edFrom", "00:00");
    lbTo = label(gb1, "lbTo", "To:");
    edTo = timeEdit("edTo", "24:00");
    cbWeekend = new QCheckBox(QStringLiteral("Enabled for weekend"), gb1);
    cbWeekend->setObjectName(QStringLiteral("cbWeekend"));
    cbWeekend->setChecked(true);
    rbAll = new QRadioButton(QStringLiteral("Use all weekend"), gb1);
    rbAll->setObjectName(QStringLiteral("rbAll"));
    rbWeek = new QRadioButton(QStringLiteral("Use as in week (set above)"), gb1);
    rbWeek->setObjectName(QStringLiteral("rbWeek"));
    rbWeek->setChecked(true);
    lbMax = label(gb1, "lbMax", "Max length of call:");
    seLimit = new QSpinBox(gb1);
    seLimit->setObjectName(QStringLiteral("seLimit"));
    seLimit->setRange(0, 99);
    DigitKeyFilter::install(seLimit); // seLimitKeyPress
    Label3 = label(gb1, "Label3", "(0 = off)");

    auto* times = new QGridLayout(gb1);
    times->addWidget(lbFrom, 0, 0);
    times->addWidget(edFrom, 0, 1);
    times->addWidget(lbTo, 0, 2);
    times->addWidget(edTo, 0, 3);
    times->addWidget(cbWeekend, 1, 0, 1, 4);
    times->addWidget(rbAll, 2, 0, 1, 4);
    times->addWidget(rbWeek, 3, 0, 1, 4);
    times->addWidget(lbMax, 4, 0, 1, 2);
    times->addWidget(seLimit, 4, 2);
    times->addWidget(Label3, 4, 3);
    times->setColumnStretch(4, 1);

    gb2 = new QGroupBox(QStringLiteral("Groups"), this);
    gb2->setObjectName(QStringLiteral("gb2"));
    auto* groups = new QVBoxLayout(gb2);
    for (int i = 0; i < 7; ++i) {
        auto* box = new QComboBox(gb2);
        box->setObjectName(QStringLiteral("cbGroups%1").arg(i + 1));
        for (const char* item : kGroupItems)
            box->addItem(QString::fromLatin1(item));
        box->setCurrentIndex(0);
        box->setEnabled(i == 0);
        groups->addWidget(box);
        cbGroups[size_t(i)] = box;
        connect(box, &QComboBox::activated, this, [this, i] { cbGroupsChange(i); });
    }
    groups->addStretch();

    sbOk = new QPushButton(QStringLiteral("OK"), this);
    sbOk->setObjectName(QStringLiteral("sbOk"));
    sbOk->setDefault(true);
    sbCancel = new QPushButton(QStringLiteral("Cancel"), this);
    sbCancel->setObjectName(QStringLiteral("sbCancel"));
    connect(sbOk, &QPushButton::clicked, this, [this] { sbOkClick(); });
    connect(sbCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbWeekend, &QCheckBox::toggled, this, [this] { cbWeekendClick(); });

    auto* network = new QHBoxLayout;
    network->addWidget(lbId);
    network->addWidget(cbNetwork, 1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(gb1, 1);
    middle->addWidget(gb2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sbOk);
    buttons->addWidget(sbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(network);
    layout->addLayout(middle);
    layout->addLayout(buttons);
}

void TfLcr::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TfLcr::FormActivate()
{
    cbNetwork->setFocus();
}

void TfLcr::fillNetworkItems()
{
    for (int i = 0; i < 8 && i < cbNetwork->count(); ++i) {
        const QString text = cbNetwork->itemText(i);
        const qsizetype slash = text.indexOf(QLatin1Char('/'));
        const QString id = GateConfig.networks[size_t(i)].networkId;
        cbNetwork->setItemText(i, slash < 0 ? id : text.left(slash + 1) + id);
    }
}

void TfLcr::selectGroup(int box, int item)
{
    cbGroups[size_t(box)]->setCurrentIndex(item);
    cbGroupsChange(box);
}

void TfLcr::prepareAdd()
{
    addMode_ = true;
    edFrom->setText(QStringLiteral("00:00"));
    edTo->setText(QStringLiteral("24:00"));
    cbWeekend->setChecked(true);
    rbWeek->setChecked(true);
    rbAll->setEnabled(true);
    rbWeek->setEnabled(true);
    seLimit->setValue(0);
    fillNetworkItems();
    cbNetwork->setCurrentIndex(0);
    selectGroup(0, 0);
}

void TfLcr::prepareEdit(const QString& caption, const QString& window, const QString& groups, const QString& limit)
{
    addMode_ = false;
    fillNetworkItems();
    // A caption that is no list number leaves the first list chosen.
    bool ok = false;
    const int network = caption.section(QLatin1Char('/'), 0, 0).toInt(&ok);
    cbNetwork->setCurrentIndex(ok && network >= 1 && network <= 8 ? network - 1 : 0);

    const QStringList parts = window.split(QLatin1Char('/'));
    auto padded = [](QString t) { return t.size() == 4 ? QLatin1Char('0') + t : t; }; // 7:00 -> 07:00
    edFrom->setText(padded(parts.value(0)));
    edTo->setText(padded(parts.value(1)));
    if (window.contains(QLatin1String("w-"))) {
        cbWeekend->setChecked(false);
        rbAll->setChecked(true);
    } else if (window.contains(QLatin1String("w+"))) {
        cbWeekend->setChecked(true);
        rbAll->setChecked(true);
    } else {
        cbWeekend->setChecked(true);
        rbWeek->setChecked(true);
    }
    cbWeekendClick();

    seLimit->setValue(limit.toInt()); // a limit that is no number reads 0

    selectGroup(0, 0);
    // One box per digit, in order; the first character that is no group ends the choices, so no gap appears.
    for (int k = 0; k < groups.size() && k < 7; ++k) {
        const int item = lcrGroupItem(groups.at(k));
        if (item < 0)
            break;
        selectGroup(k, item);
    }
}

void TfLcr::cbGroupsChange(int box)
{
    if (box >= 6)
        return;
    if (cbGroups[size_t(box)]->currentIndex() > 0) {
        cbGroups[size_t(box + 1)]->setEnabled(true);
        return;
    }
    for (int next = box + 1; next < 7; ++next) {
        cbGroups[size_t(next)]->setCurrentIndex(0);
        cbGroups[size_t(next)]->setEnabled(false);
    }
}

void TfLcr::cbWeekendClick()
{
    rbAll->setEnabled(cbWeekend->isChecked());
    rbWeek->setEnabled(cbWeekend->isChecked());
}

void TfLcr::sbOkClick()
{
    // A partly typed time would reach the gateway as another time: refused, the field marked.
    bool complete = true;
    for (QLineEdit* edit : {edFrom, edTo}) {
        if (!isCompleteMaskedText(edit->text())) {
            markRed(edit, true);
            complete = false;
        }
    }
    if (!complete) {
        MessageBox(labelText(kTextInvalid), labelText(kCaptionError), MB_ICONERROR);
        return;
    }

    const int index = cbNetwork->currentIndex();
    const QString id =
        fMain->networkNames.isEmpty() ? GateConfig.networks[size_t(index)].networkId : fMain->networkNames.value(index);
    const QString caption = QString::number(index + 1) + QLatin1Char('/') + id;

    QString from = edFrom->text();
    QString to = edTo->text();
    if (addMode_) {
        from = SpacesToZeros(from);
        to = SpacesToZeros(to);
    }
    QString window = from + QLatin1Char('/') + to;
    if (!cbWeekend->isChecked())
        window += QStringLiteral("/w-");
    else if (rbAll->isChecked())
        window += QStringLiteral("/w+");

    QString groups;
    for (QComboBox* box : cbGroups)
        if (box->currentIndex() > 0)
            groups += lcrGroupDigit(box->currentIndex());

    fMain->lcrPutRow(addMode_, caption, window, groups, QString::number(seLimit->value()));
    accept();
}

void TfLcr::setLabels(const Tlabels& t)
{
    Label3->setText(labelOr(t, 902, QStringLiteral("(0=off)")));
    lbId->setText(labelOr(t, 382, QStringLiteral("Network ID")));
    gb1->setTitle(labelOr(t, 383, QStringLiteral("Time limitation of use :")));
    lbFrom->setText(labelOr(t, 384, QStringLiteral("From : ")));
    lbTo->setText(labelOr(t, 385, QStringLiteral("To : ")));
    cbWeekend->setText(labelOr(t, 387, QStringLiteral("Enabled for weekend")));
    rbAll->setText(labelOr(t, 789, QStringLiteral("Use all weekend")));
    rbWeek->setText(labelOr(t, 388, QStringLiteral("Use as in week (set above)")));
    lbMax->setText(labelOr(t, 389, QStringLiteral("Max length of call : ")));
    gb2->setTitle(labelOr(t, 391, QStringLiteral("Groups : ")));
    // Items are replaced in place; the openers choose the selections each time.
    for (QComboBox* box : cbGroups)
        for (int i = 0; i < 5; ++i)
            box->setItemText(i, labelOr(t, kGroupTexts[i], QString::fromLatin1(kGroupItems[i])));
    sbCancel->setText(labelOr(t, 90, QStringLiteral("Cancel")));
    // Network items: "<list name> <n>/<id>"; the id after the "/" survives the change of language.
    const QString name = labelOr(t, 356, QStringLiteral("Prefixlist "));
    for (int i = 0; i < 8 && i < cbNetwork->count(); ++i) {
        const QString old = cbNetwork->itemText(i);
        const qsizetype slash = old.indexOf(QLatin1Char('/'));
        const QString tail = slash < 0 ? QStringLiteral("/") : old.mid(slash);
        cbNetwork->setItemText(i, name + QLatin1Char(' ') + QString::number(i + 1) + tail);
    }
}
