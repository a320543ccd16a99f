#include "online/ui/LoginAccountPage.h"

#include "link/CommError.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/ui/ConnectionPart.h"
#include "online/GatewayClock.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/WindowUtil.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int kLoginTopic = 17;

void errorBox(int text)
{
    if (text == kCommErrorText) {
        CommErrorBox();
        return;
    }
    MessageBox(labelText(text), labelText(47), MB_ICONERROR);
}

void infoBox(int text)
{
    MessageBox(labelText(text), labelText(54), MB_ICONINFORMATION);
}

QLineEdit* accountEdit(QWidget* page, const char* name, bool password)
{
    auto* edit = named(new QLineEdit(page), name);
    edit->setMaxLength(7);
    // Letters and digits only, typed or pasted.
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9]{0,7}")), edit));
    if (password)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

void LoginAccountPage::buildLoginAccountPage(QWidget* host)
{
    pLogin = addTopicPage(host, "pLogin", kLoginTopic);
    QWidget* page = pLogin->widget();
    lbLoginUser = named(new QLabel(QStringLiteral("Username : "), page), "lbLoginUser");
    lbLoginPass = named(new QLabel(QStringLiteral("Password : "), page), "lbLoginPass");
    lbLoginPassVer = named(new QLabel(QStringLiteral("Password verify : "), page), "lbLoginPassVer");
    eLoginUser = accountEdit(page, "eLoginUser", false);
    eLoginPass = accountEdit(page, "eLoginPass", true);
    eLoginPassVer = accountEdit(page, "eLoginPassVer", true);
    sbLoginSave = named(new QPushButton(QStringLiteral("Save to gate"), page), "sbLoginSave");
    sbLoginDisable = named(new QPushButton(QStringLiteral("Disable login"), page), "sbLoginDisable");

    auto* grid = new QGridLayout;
    grid->addWidget(lbLoginUser, 0, 0);
    grid->addWidget(eLoginUser, 0, 1);
    grid->addWidget(lbLoginPass, 1, 0);
    grid->addWidget(eLoginPass, 1, 1);
    grid->addWidget(lbLoginPassVer, 2, 0);
    grid->addWidget(eLoginPassVer, 2, 1);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sbLoginSave);
    buttons->addWidget(sbLoginDisable);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addStretch();

    QObject::connect(sbLoginSave, &QPushButton::clicked, page, [this] { sbLoginSaveClick(); });
    QObject::connect(sbLoginDisable, &QPushButton::clicked, page, [this] { sbLoginDisableClick(); });
    if (fMain)
        fMain->setTopicSection(kLoginTopic, [this](bool chosen) {
            if (!chosen) {
                pLogin->hide();
                return true;
            }
            const bool telnet = CurrentConnection.LinkType == LinkTelnet;
            for (QWidget* w : {static_cast<QWidget*>(eLoginUser), static_cast<QWidget*>(eLoginPass),
                               static_cast<QWidget*>(eLoginPassVer), static_cast<QWidget*>(sbLoginSave)})
                w->setEnabled(!telnet);
            fMain->showTopicPage(kLoginTopic);
            return true;
        });
}

void LoginAccountPage::setLabelsLoginAccount(const Tlabels& t)
{
    lbLoginUser->setText(labelOr(t, 124, QStringLiteral("Username : ")));
    lbLoginPass->setText(labelOr(t, 125, QStringLiteral("Password : ")));
    lbLoginPassVer->setText(labelOr(t, 126, QStringLiteral("Password verify : ")));
    sbLoginSave->setText(labelOr(t, 127, QStringLiteral("Save to gate")));
    sbLoginDisable->setText(labelOr(t, 792, QStringLiteral("Disable login")));
}

void LoginAccountPage::sendAccount(const QByteArray& command)
{
    const ExchangeResult e = SendAccountCommand(command);
    if (!e.written) {
        if (!RefusedForWait(e))
            errorBox(kCommErrorText);
        return;
    }
    const QByteArray& reply = e.reply;
    if (ReplyHasOkLine(reply))
        infoBox(66);
    else
        errorBox(kCommErrorText);
}

void LoginAccountPage::sbLoginSaveClick()
{
    if (CurrentConnection.LinkType == LinkTelnet) {
        infoBox(63);
        return;
    }
    connectForPageRun();
    if (!LinkPort(CurrentConnection))
        return; // the connect reported its own failure
    const QString user = eLoginUser->text();
    const QString pass = eLoginPass->text();
    if (const int failure = LoginAccountCheck(user, pass, eLoginPassVer->text())) {
        errorBox(failure);
        return;
    }
    sendAccount(LoginAccountCommand(user, pass));
}

void LoginAccountPage::sbLoginDisableClick()
{
    if (MessageBox(labelText(791), labelText(54), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (CurrentConnection.LinkType == LinkTelnet) {
        infoBox(63);
        return;
    }
    connectForPageRun();
    if (!LinkPort(CurrentConnection))
        return; // the connect reported its own failure
    sendAccount(LoginDisableCommand());
}
