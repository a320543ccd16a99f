#include "link/ui/TfNewGateway.h"

#include "link/GatewayList.h"
#include "platform/Dialogs.h"
#include "platform/ProgramDir.h"
#include "texts/LabelRule.h"
#include "ui/WindowUtil.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

bool IsValidPort(const QString& text)
{
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return ok && port >= 1 && port <= 65535;
}

TfNewGateway::TfNewGateway(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfNewGateway"));
    setWindowTitle(QStringLiteral("Gateway"));
    auto* grid = new QGridLayout;
    addEditRow(grid, 0, this, lbName, "lbName", edName, "edName");
    addEditRow(grid, 1, this, lbIp, "lbIp", edIp, "edIp");
    addEditRow(grid, 2, this, lbPort, "lbPort", edPort, "edPort");
    addEditRow(grid, 3, this, lbUser, "lbUser", edUser, "edUser");
    addEditRow(grid, 4, this, lbPass, "lbPass", edPassword, "edPassword");
    addEditRow(grid, 5, this, lbFile, "lbFile", edFile, "edFile");
    addEditRow(grid, 6, this, lbPhone, "lbPhone", edPhone, "edPhone");
    edPassword->setEchoMode(QLineEdit::Password);
    edPort->setMaxLength(5);
    lbPhone->setText(QStringLiteral("Phone number :"));
    sbFile = named(new QPushButton(QStringLiteral("..."), this), "sbFile");
    grid->addWidget(sbFile, 5, 2);
    grid->setColumnStretch(1, 1);

    sbOk = named(new QPushButton(this), "sbOk");
    sbOk->setDefault(true);
    sbCancel = named(new QPushButton(this), "sbCancel");
    connect(sbOk, &QPushButton::clicked, this, [this] { sbOkClick(); });
    connect(sbCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(sbFile, &QPushButton::clicked, this, [this] { sbFileClick(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sbOk);
    buttons->addWidget(sbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(440);
    setLabels1({});
    setLabels2({});
}

void TfNewGateway::prepare(const GatewayEntry& e, const QStringList& takenNames)
{
    takenNames_ = takenNames;
    edName->setText(e.Name);
    edIp->setText(e.Host);
    edPort->setText(QString::number(e.Port));
    edUser->setText(e.Username);
    edPassword->setText(e.Password);
    edFile->setText(e.File);
    edPhone->setText(e.PhoneNumber);
    edName->setFocus();
}

GatewayEntry TfNewGateway::entry() const
{
    GatewayEntry e;
    e.Name = edName->text().trimmed();
    e.Host = edIp->text().trimmed();
    e.Port = edPort->text().trimmed().toInt();
    e.Username = edUser->text();
    e.Password = edPassword->text();
    e.File = edFile->text().trimmed();
    if (e.File.isEmpty() && !e.Name.isEmpty())
        e.File = programFile(e.Name + QStringLiteral(".ini"));
    e.PhoneNumber = edPhone->text().trimmed();
    return e;
}

void TfNewGateway::sbOkClick()
{
    const QString name = edName->text().trimmed();
    // Brackets would break the section line of gtws.ini.
    if (name.isEmpty() || name.contains(QLatin1Char('[')) || name.contains(QLatin1Char(']'))) {
        MessageBox(labelText(kGatewayNameMissingText), labelText(47), MB_ICONERROR);
        edName->setFocus();
        return;
    }
    const bool taken =
        name.compare(kUnnamedGateway, Qt::CaseInsensitive) == 0 || takenNames_.contains(name, Qt::CaseInsensitive);
    if (taken) {
        MessageBox(labelText(kGatewayNameTakenText), labelText(47), MB_ICONERROR);
        edName->setFocus();
        return;
    }
    if (!IsValidPort(edPort->text())) {
        MessageBox(labelText(kPortRangeText), labelText(47), MB_ICONERROR);
        edPort->setFocus();
        return;
    }
    // The list's shifted code would cut or change such a text: it would not read back as typed.
    for (QLineEdit* edit : {edUser, edPassword}) {
        if (!ShiftStorable(edit->text())) {
            MessageBox(labelOr(labelTexts, kCredentialsNotStorableText,
                               QStringLiteral("The user name or the password holds a character that the gateway "
                                              "list cannot store. Please change it.")),
                       labelText(47), MB_ICONERROR);
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    accept();
}

void TfNewGateway::sbFileClick()
{
    const QString path = GetOpenFileName(this, lbFile->text(), edFile->text(),
                                         QStringLiteral("Gate files (*.ini)|*.ini|All files (*.*)|*.*"));
    if (!path.isEmpty())
        edFile->setText(path);
}

void TfNewGateway::setLabels1(const Tlabels& t)
{
    lbName->setText(labelOr(t, 100, QStringLiteral("Gateway name : ")));
    lbIp->setText(labelOr(t, 101, QStringLiteral("Gateway IP address :")));
    lbPort->setText(labelOr(t, 102, QStringLiteral("Port :")));
    lbUser->setText(labelOr(t, 103, QStringLiteral("Username :")));
    lbPass->setText(labelOr(t, 104, QStringLiteral("Password :")));
}

void TfNewGateway::setLabels2(const Tlabels& t)
{
    lbFile->setText(labelOr(t, 105, QStringLiteral("File of gateway parametres : ")));
    sbOk->setText(labelOr(t, 89, QStringLiteral("OK")));
    sbCancel->setText(labelOr(t, 90, QStringLiteral("Cancel")));
}
