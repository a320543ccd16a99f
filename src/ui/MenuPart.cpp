#include "ui/MenuPart.h"

#include "link/ui/TfGatewayList.h"
#include "texts/LabelRule.h"
#include "ui/Icons.h"
#include "ui/NavigationPart.h"
#include "ui/TfHelp.h"
#include "ui/TfMain.h"
#include "ui/WindowUtil.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <functional>

namespace {

QAction* menuItem(QMenu* menu, const char* name, const QString& text, std::function<void()> handler)
{
    auto* action = new QAction(text, fMain);
    action->setObjectName(QString::fromLatin1(name));
    menu->addAction(action);
    if (handler)
        QObject::connect(action, &QAction::triggered, fMain, [handler] { handler(); });
    return action;
}

QAction* separator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* subMenu(QMenuBar* bar, const char* name, const QString& text)
{
    auto* menu = new QMenu(text, fMain);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Item"));
    bar->addMenu(menu);
    return menu;
}

QAction* toolButton(QToolBar* bar, const char* name, ToolImage image, std::function<void()> handler,
                    bool checkable = false)
{
    auto* action = new QAction(toolImage(image), QString(), fMain);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    bar->addAction(action);
    if (handler)
        QObject::connect(action, &QAction::triggered, fMain, [handler] { handler(); });
    return action;
}

QAction* toolSeparator(QToolBar* bar, const char* name)
{
    QAction* action = bar->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

void MenuPart::buildMenu(QMainWindow* host)
{
    mMain = host->menuBar();
    mMain->setObjectName(QStringLiteral("mMain"));

    mFile = subMenu(mMain, "mFile", QStringLiteral("File"));
    mLoad = menuItem(mFile, "mLoad", QStringLiteral("Load"), [] { fMain->mLoadClick(); });
    mSave = menuItem(mFile, "mSave", QStringLiteral("Save"), [] { fMain->mSaveClick(); });
    N1 = separator(mFile, "N1");
    mLoadO = menuItem(mFile, "mLoadO", QStringLiteral("Load otherwise..."), [] { fMain->mLoadOClick(); });
    mSaveAs = menuItem(mFile, "mSaveAs", QStringLiteral("Save as..."), [] { fMain->mSaveAsClick(); });
    N2 = separator(mFile, "N2");
    mDefault = menuItem(mFile, "mDefault", QStringLiteral("Default settings"), [] { fMain->mDefaultClick(); });
    Novkonfiguransoubor1 = menuItem(mFile, "Novkonfiguransoubor1", QStringLiteral("Default configurations ..."),
                                    [] { fMain->Novkonfiguransoubor1Click(); });
    mClose = menuItem(mFile, "mClose", QStringLiteral("Close"), [] { fMain->mCloseClick(); });

    mGateway = subMenu(mMain, "mGateway", QStringLiteral("Gateway"));
    mConnect = menuItem(mGateway, "mConnect", QStringLiteral("Connect gateway"), [] { fMain->mConnectClick(); });
    mDisconnect =
        menuItem(mGateway, "mDisconnect", QStringLiteral("Disconnect gateway"), [] { fMain->tbDisconnectClick(); });
    N3 = separator(mGateway, "N3");
    mGatewayList =
        menuItem(mGateway, "mGatewayList", QStringLiteral("List of gateways..."), [] { fMain->mGatewayListClick(); });

    mGatewayControl = subMenu(mMain, "mGatewayControl", QStringLiteral("Gateway control"));
    auto topic = [this](const char* name, int k, void (NavigationPart::*handler)()) {
        return menuItem(mGatewayControl, name, topicEnglishText(k), [handler] { (fMain->*handler)(); });
    };
    mLogin = topic("mLogin", 17, &NavigationPart::mLoginClick);
    mDate = topic("mDate", 18, &NavigationPart::mDateClick);
    mFirm = topic("mFirm", 19, &NavigationPart::mFirmClick);
    N4 = separator(mGatewayControl, "N4");
    mTrac = topic("mTrac", 20, &NavigationPart::mTracClick);
    mTerm = topic("mTerm", 21, &NavigationPart::mTermClick);
    N5 = separator(mGatewayControl, "N5");
    mLogFile = topic("mLogFile", 22, &NavigationPart::mLogFileClick);
    mCallData = topic("mCallData", 23, &NavigationPart::mCallDataClick);
    mStat = topic("mStat", 24, &NavigationPart::mStatClick);
    N6 = separator(mGatewayControl, "N6");
    mVoiceMess = topic("mVoiceMess", 25, &NavigationPart::mVoiceMessClick);
    N7 = separator(mGatewayControl, "N7");
    mDiag = topic("mDiag", 26, &NavigationPart::mDiagClick);
    mActual = topic("mActual", 235, &NavigationPart::mActualClick);
    mBuffer = topic("mBuffer", 494, &NavigationPart::mBufferClick);
    mConState = topic("mConState", 505, &NavigationPart::mConStateClick);
    mGsmInfo = topic("mGsmInfo", 543, &NavigationPart::mGsmInfoClick);
    mTest = topic("mTest", 548, &NavigationPart::mTestClick);
    mCommands = topic("mCommands", 685, &NavigationPart::mCommandsClick);
    mDynamic = topic("mDynamic", 704, &NavigationPart::mDynamicClick);

    mSettings = subMenu(mMain, "mSettings", QStringLiteral("Settings"));
    mCommSett =
        menuItem(mSettings, "mCommSett", QStringLiteral("Communication settings..."), [] { fMain->mCommSettClick(); });
    mIsdnModems = menuItem(mSettings, "mIsdnModems", QStringLiteral("ISDN modems..."), {});
    mIsdnModems->setVisible(false);
    N8 = separator(mSettings, "N8");
    mLanguage = new QMenu(QStringLiteral("Language"), fMain);
    mLanguage->setObjectName(QStringLiteral("mLanguage"));
    mLanguage->menuAction()->setObjectName(QStringLiteral("mLanguageItem"));
    mSettings->addMenu(mLanguage);
    mEnglish = menuItem(mLanguage, "mEnglish", QStringLiteral("English"), [] { fMain->mEnglishClick(); });
    mCzech = menuItem(mLanguage, "mCzech", QStringLiteral("Czech"), [] { fMain->mCzechClick(); });
    mHungary = menuItem(mLanguage, "mHungary", QStringLiteral("Hungary"), [] { fMain->mHungaryClick(); });
    mPolish = menuItem(mLanguage, "mPolish", QStringLiteral("Polish"), [] { fMain->mPolishClick(); });
    for (QAction* item : {mEnglish, mCzech, mHungary, mPolish})
        item->setCheckable(true);
    mEnglish->setChecked(true);

    mHelp = subMenu(mMain, "mHelp", QStringLiteral("Help"));
    mAbout = menuItem(mHelp, "mAbout", QStringLiteral("About..."), [] { fMain->mAboutClick(); });
}

void MenuPart::buildToolBar(QMainWindow* host)
{
    tbMain = new QToolBar(host);
    tbMain->setObjectName(QStringLiteral("tbMain"));
    tbMain->setMovable(false);
    tbMain->setFloatable(false);
    tbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbMain->setIconSize(QSize(24, 24));
    host->addToolBar(Qt::TopToolBarArea, tbMain);

    ToolButton5 = toolSeparator(tbMain, "ToolButton5");
    tbLoad = toolButton(tbMain, "tbLoad", ToolImage::OpenFile, [] { fMain->tbLoadClick(); });
    tbSave = toolButton(tbMain, "tbSave", ToolImage::SaveFile, [] { fMain->tbSaveClick(); });
    ToolButton1 = toolSeparator(tbMain, "ToolButton1");
    tbConnect = toolButton(tbMain, "tbConnect", ToolImage::Connect, [] { fMain->tbConnectClick(); });
    tbDisconnect = toolButton(tbMain, "tbDisconnect", ToolImage::Disconnect, [] { fMain->tbDisconnectClick(); });
    ToolButton4 = toolSeparator(tbMain, "ToolButton4");
    tbLoadGate = toolButton(tbMain, "tbLoadGate", ToolImage::LoadGateway, [] { fMain->tbLoadGateClick(); });
    tbSaveGate = toolButton(tbMain, "tbSaveGate", ToolImage::SaveGateway, [] { fMain->tbSaveGateClick(); });
    ToolButton2 = toolSeparator(tbMain, "ToolButton2");
    tbCzech = toolButton(
        tbMain, "tbCzech", ToolImage::FlagCzech, [] { fMain->tbCzechClick(); }, true);
    tbEnglish = toolButton(
        tbMain, "tbEnglish", ToolImage::FlagEnglish, [] { fMain->tbEnglishClick(); }, true);
    tbHungary = toolButton(
        tbMain, "tbHungary", ToolImage::FlagHungary, [] { fMain->tbHungaryClick(); }, true);
    // A plain push button: a click does not latch it; the switch holds it down (LanguagePart::setLanguageMarks).
    tbPolish = toolButton(tbMain, "tbPolish", ToolImage::FlagPolish, [] { fMain->tbPolishClick(); });
    ToolButton7 = toolSeparator(tbMain, "ToolButton7");
    tbTerminal = toolButton(tbMain, "tbTerminal", ToolImage::Terminal, [] { fMain->tbTerminalClick(); });
    ToolButton3 = toolSeparator(tbMain, "ToolButton3");
    tbClose = toolButton(tbMain, "tbClose", ToolImage::Close, [] { fMain->tbCloseClick(); });
    tbEnglish->setChecked(true);
}

void MenuPart::setGatewayRunsEnabled(bool on)
{
    tbLoadGate->setEnabled(on);
    tbSaveGate->setEnabled(on);
    mLoad->setEnabled(on);
    mSave->setEnabled(on);
}

void MenuPart::mCloseClick()
{
    fMain->close();
}

void MenuPart::tbCloseClick()
{
    fMain->close();
}

void MenuPart::mLoadClick()
{
    fMain->tbLoadGateClick();
}

void MenuPart::mSaveClick()
{
    fMain->tbSaveGateClick();
}

void MenuPart::mAboutClick()
{
    showWithoutWaiting(fHelp);
}

void MenuPart::mGatewayListClick()
{
    showWithoutWaiting(fGatewayList);
}

void MenuPart::setLabelsLanguageNames()
{
    // The names come from the language file as they are. A file naming fewer than four languages leaves the
    // places of the names it lacks as they were.
    const Tlabels& names = languageNames;
    auto setName = [&names](size_t index, const std::function<void(const QString&)>& set) {
        if (index < names.size())
            set(names[index]);
    };
    setName(2, [this](const QString& n) { mHungary->setText(n); });
    setName(0, [this](const QString& n) { mCzech->setText(n); });
    setName(1, [this](const QString& n) { mEnglish->setText(n); });
    setName(3, [this](const QString& n) { mPolish->setText(n); });
    setName(2, [this](const QString& n) { tbHungary->setToolTip(n); });
    setName(0, [this](const QString& n) { tbCzech->setToolTip(n); });
    setName(1, [this](const QString& n) { tbEnglish->setToolTip(n); });
    setName(3, [this](const QString& n) {
        tbPolish->setText(n);
        tbPolish->setToolTip(n); // the tool bar shows no captions: the name is its hint as for the others
    });
}

void MenuPart::setLabelsMainMenu(const Tlabels& t)
{
    mConnect->setText(labelOr(t, 0, QStringLiteral("Connect gateway")));
    mDisconnect->setText(labelOr(t, 1, QStringLiteral("Disconnect gateway")));
    mGatewayList->setText(labelOr(t, 2, QStringLiteral("List of gateways...")));
    mLoad->setText(labelOr(t, 3, QStringLiteral("Load")));
    mSave->setText(labelOr(t, 4, QStringLiteral("Save")));
    mLoadO->setText(labelOr(t, 5, QStringLiteral("Load otherwise...")));
    mSaveAs->setText(labelOr(t, 6, QStringLiteral("Save as...")));
    mDefault->setText(labelOr(t, 7, QStringLiteral("Default settings")));
    mClose->setText(labelOr(t, 8, QStringLiteral("Close")));
    mFile->setTitle(labelOr(t, 9, QStringLiteral("File")));
    mGateway->setTitle(labelOr(t, 10, QStringLiteral("Gateway")));
    mGatewayControl->setTitle(labelOr(t, 11, QStringLiteral("Gateway control")));
    mSettings->setTitle(labelOr(t, 12, QStringLiteral("Settings")));
    mCommSett->setText(labelOr(t, 13, QStringLiteral("Communication settings...")));
    mLanguage->setTitle(labelOr(t, 14, QStringLiteral("Language")));
    mHelp->setTitle(labelOr(t, 15, QStringLiteral("Help")));
    mAbout->setText(labelOr(t, 16, QStringLiteral("About...")));
}

void MenuPart::setLabelsDefaultConfigurations(const Tlabels& t)
{
    // The dots belong to the menu item, not to the text, so a translated text gets them too.
    Novkonfiguransoubor1->setText(labelOr(t, 855, QStringLiteral("Default configurations")) + QStringLiteral(" ..."));
}

void MenuPart::setLabelsTopicMenu(const Tlabels& t)
{
    const struct
    {
        QAction* item;
        int k;
    } items[] = {{mLogin, 17},       {mDate, 18},      {mFirm, 19},      {mTrac, 20},      {mTerm, 21},
                 {mLogFile, 22},     {mCallData, 23},  {mStat, 24},      {mVoiceMess, 25}, {mDiag, 26},
                 {mActual, 235},     {mBuffer, 494},   {mConState, 505}, {mGsmInfo, 543},  {mTest, 548},
                 {mIsdnModems, 671}, {mCommands, 685}, {mDynamic, 704}};
    for (const auto& i : items)
        i.item->setText(labelOr(t, i.k, i.k == 671 ? QStringLiteral("ISDN modems...") : topicEnglishText(i.k)));
}

void MenuPart::setLabelsCaption(const Tlabels& t)
{
    const QString title = labelOr(t, 418, QStringLiteral("Mesk config program"));
    fMain->setWindowTitle(title);
    setApplicationTitle(title);
}

void MenuPart::setLabelsToolHints(const Tlabels& t)
{
    tbLoad->setToolTip(labelOr(t, 468, QStringLiteral("Load from file")));
    tbSave->setToolTip(labelOr(t, 469, QStringLiteral("Save to file")));
    tbConnect->setToolTip(labelOr(t, 470, QStringLiteral("Connect gateway")));
    tbDisconnect->setToolTip(labelOr(t, 471, QStringLiteral("Disconnect gateway")));
    tbLoadGate->setToolTip(labelOr(t, 472, QStringLiteral("Load parametres from file")));
    tbSaveGate->setToolTip(labelOr(t, 473, QStringLiteral("Save parametres parametres from file")));
    tbCzech->setToolTip(labelOr(t, 474, QStringLiteral("Čeština")));
    tbEnglish->setToolTip(labelOr(t, 475, QStringLiteral("English")));
    tbTerminal->setToolTip(labelOr(t, 21, QStringLiteral("Terminal")));
    tbClose->setToolTip(labelOr(t, 476, QStringLiteral("Close program")));
}
