#include "pages/TfAuto.h"

#include "config/TableRows.h"
#include "exchange/TablesExchange.h"
#include "pages/AutoPage.h"
#include "pages/PageFrame.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/TfMain.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kTextRefused = 403;

void markRed(QWidget* edit, bool red)
{
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, Qt::red);
    edit->setPalette(red ? p : QPalette());
}

} // namespace

TfAuto::TfAuto(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfAuto"));
    setWindowTitle(QStringLiteral("Add/Edit autorouting table"));

    GroupBox1 = new QGroupBox(QStringLiteral("GSM"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    lbGsm = new QLabel(QStringLiteral("GSM number (CLIP)"), GroupBox1);
    lbGsm->setObjectName(QStringLiteral("lbGsm"));
    edGsm = new QLineEdit(GroupBox1);
    edGsm->setObjectName(QStringLiteral("edGsm"));
    edGsm->setMaxLength(kAutoClipLength);
    // Typed and pasted alike: the CLIP travels inside a comma-separated value.
    edGsm->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9+*#]*")), edGsm));
    auto* gsm = new QHBoxLayout(GroupBox1);
    gsm->addWidget(lbGsm);
    gsm->addWidget(edGsm, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Used service"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto radio = [this](const char* name, const char* text) {
        auto* r = new QRadioButton(QString::fromLatin1(text), GroupBox2);
        r->setObjectName(QString::fromLatin1(name));
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                enablingRule();
        });
        return r;
    };
    rbAutodial = radio("rbAutodial", "Dial number to BRI");
    rbAutocallback = radio("rbAutocallback", "Callback service");
    rbReject = radio("rbReject", "Reject call");
    rbIgnore = radio("rbIgnore", "Ignore call");
    rbTone = radio("rbTone", "Tone dial-in");
    rbDisa = radio("rbDisa", "Disa message dial-in");
    edDial = new QLineEdit(GroupBox2);
    edDial->setObjectName(QStringLiteral("edDial"));
    edDial->setMaxLength(kAutoNumberLength);
    // Digits, "+", "*", "#"; or one of the service letters alone, typed into the empty edit.
    edDial->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9+*#]*|[RIDT]")), edDial));
    lbLimit = new QLabel(QStringLiteral("Limit [min]"), GroupBox2);
    lbLimit->setObjectName(QStringLiteral("lbLimit"));
    seLimit = new QSpinBox(GroupBox2);
    seLimit->setObjectName(QStringLiteral("seLimit"));
    seLimit->setRange(0, 99);
    seLimit->setValue(1);
    DigitKeyFilter::install(seLimit); // seLimitKeyPress
    Label1 = new QLabel(QStringLiteral("(0=0ff)"), GroupBox2);
    Label1->setObjectName(QStringLiteral("Label1"));
    rbAutodial->setChecked(true);

    auto* services = new QGridLayout(GroupBox2);
    services->addWidget(rbAutodial, 0, 0);
    services->addWidget(edDial, 0, 1, 1, 3);
    services->addWidget(rbAutocallback, 1, 0);
    services->addWidget(lbLimit, 1, 1);
    services->addWidget(seLimit, 1, 2);
    services->addWidget(Label1, 1, 3);
    services->addWidget(rbReject, 2, 0);
    services->addWidget(rbIgnore, 3, 0);
    services->addWidget(rbTone, 4, 0);
    services->addWidget(rbDisa, 5, 0);
    services->setColumnStretch(1, 1);

    sbOk = new QPushButton(QStringLiteral("OK"), this);
    sbOk->setObjectName(QStringLiteral("sbOk"));
    sbOk->setDefault(true);
    sbCancel = new QPushButton(QStringLiteral("Cancel"), this);
    sbCancel->setObjectName(QStringLiteral("sbCancel"));
    connect(sbOk, &QPushButton::clicked, this, [this] { sbOkClick(); });
    connect(sbCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edGsm, &QLineEdit::textChanged, this, [this] {
        if (!edGsm->text().isEmpty())
            markRed(edGsm, false);
    });
    connect(edDial, &QLineEdit::textChanged, this, [this] {
        if (!edDial->text().isEmpty())
            markRed(edDial, false);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sbOk);
    buttons->addWidget(sbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    setMinimumWidth(420);
    enablingRule();
}

void TfAuto::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TfAuto::FormActivate()
{
    enablingRule();
    markRed(edDial, false);
    markRed(edGsm, false);
    edGsm->setFocus();
}

void TfAuto::enablingRule()
{
    edDial->setEnabled(rbAutodial->isChecked());
    const bool callback = rbAutocallback->isChecked();
    seLimit->setEnabled(callback);
    lbLimit->setEnabled(callback);
    Label1->setEnabled(callback);
}

void TfAuto::prepareAdd()
{
    addMode_ = true;
    edGsm->clear();
    edDial->clear();
    rbAutodial->setChecked(true);
    seLimit->setValue(0);
    enablingRule();
}

void TfAuto::prepareEdit(const AutoRow& row)
{
    addMode_ = false;
    edGsm->setText(row.clip);
    edDial->setText(row.number);
    if (!row.limit.isEmpty())
        seLimit->setValue(row.limit.toInt()); // 0 when it is no number
    switch (row.letter.toLatin1()) {
    case 'C':
        rbAutocallback->setChecked(true);
        break;
    case 'D':
        rbDisa->setChecked(true);
        break;
    case 'I':
        rbIgnore->setChecked(true);
        break;
    case 'R':
        rbReject->setChecked(true);
        break;
    case 'T':
        rbTone->setChecked(true);
        break;
    default:
        rbAutodial->setChecked(true);
        break;
    }
    enablingRule();
}

QChar TfAuto::serviceLetter() const
{
    const std::pair<QRadioButton*, char> radios[] = {{rbAutodial, 'A'}, {rbAutocallback, 'C'}, {rbReject, 'R'},
                                                     {rbIgnore, 'I'},   {rbTone, 'T'},         {rbDisa, 'D'}};
    for (const auto& [radio, letter] : radios)
        if (radio->isChecked())
            return QLatin1Char(letter);
    return QLatin1Char('A');
}

void TfAuto::sbOkClick()
{
    const bool noClip = edGsm->text().isEmpty();
    const bool noNumber = rbAutodial->isChecked() && edDial->text().isEmpty();
    if (noClip || noNumber) {
        MessageBox(labelText(kTextRefused), labelText(kCaptionError), MB_ICONERROR);
        if (noClip)
            markRed(edGsm, true);
        if (noNumber)
            markRed(edDial, true);
        return;
    }
    AutoRow row;
    row.clip = edGsm->text();
    row.number = edDial->isEnabled() ? edDial->text() : QString();
    row.limit = lbLimit->isEnabled() ? QString::number(seLimit->value()) : QString();
    row.letter = serviceLetter();
    fMain->autoPutRow(addMode_, row);
    accept();
}

void TfAuto::setLabels(const Tlabels& t)
{
    rbAutodial->setText(labelOr(t, 914, QStringLiteral("Dial")));
    rbAutocallback->setText(labelOr(t, 915, QStringLiteral("Callback")));
    Label1->setText(labelOr(t, 902, QStringLiteral("(0=off)")));
    lbGsm->setText(labelOr(t, 395, QStringLiteral("GSM number (CLIP) : ")));
    lbLimit->setText(labelOr(t, 397, QStringLiteral("Limit ")));
    setWindowTitle(labelOr(t, 398, QStringLiteral("Add/Edit autorouting table")));
    sbCancel->setText(labelOr(t, 90, QStringLiteral("Cancel")));
    rbReject->setText(labelOr(t, 916, QStringLiteral("Reject")));
    rbIgnore->setText(labelOr(t, 917, QStringLiteral("Ignore")));
    rbDisa->setText(labelOr(t, 919, QStringLiteral("Disa dial-in")));
    rbTone->setText(labelOr(t, 918, QStringLiteral("Tone dial-in")));
    GroupBox2->setTitle(labelOr(t, 920, QStringLiteral("Used service")));
}
