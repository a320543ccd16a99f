#pragma once
// The main menu and the tool bar of the main window, the commands of them that belong to the window itself
// (close, about, gateway list, the File menu's stand-ins for tool-bar buttons), and their label steps.
#include "texts/Labels.h"

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

class MenuPart
{
public:
    QMenuBar* mMain = nullptr;

    QMenu* mFile = nullptr;
    QAction* mLoad = nullptr;
    QAction* mSave = nullptr;
    QAction* N1 = nullptr;
    QAction* mLoadO = nullptr;
    QAction* mSaveAs = nullptr;
    QAction* N2 = nullptr;
    QAction* mDefault = nullptr;
    QAction* Novkonfiguransoubor1 = nullptr; // the default configurations
    QAction* mClose = nullptr;

    QMenu* mGateway = nullptr;
    QAction* mConnect = nullptr;
    QAction* mDisconnect = nullptr;
    QAction* N3 = nullptr;
    QAction* mGatewayList = nullptr;

    QMenu* mGatewayControl = nullptr; // the online topics
    QAction* mLogin = nullptr;
    QAction* mDate = nullptr;
    QAction* mFirm = nullptr;
    QAction* N4 = nullptr;
    QAction* mTrac = nullptr;
    QAction* mTerm = nullptr;
    QAction* N5 = nullptr;
    QAction* mLogFile = nullptr;
    QAction* mCallData = nullptr;
    QAction* mStat = nullptr;
    QAction* N6 = nullptr;
    QAction* mVoiceMess = nullptr;
    QAction* N7 = nullptr;
    QAction* mDiag = nullptr;
    QAction* mActual = nullptr;
    QAction* mBuffer = nullptr;
    QAction* mConState = nullptr;
    QAction* mGsmInfo = nullptr;
    QAction* mTest = nullptr;
    QAction* mCommands = nullptr;
    QAction* mDynamic = nullptr;

    QMenu* mSettings = nullptr;
    QAction* mCommSett = nullptr;
    QAction* mIsdnModems = nullptr; // hidden
    QAction* N8 = nullptr;
    QMenu* mLanguage = nullptr;
    QAction* mEnglish = nullptr;
    QAction* mCzech = nullptr;
    QAction* mHungary = nullptr;
    QAction* mPolish = nullptr;

    QMenu* mHelp = nullptr;
    QAction* mAbout = nullptr;

    // The tool bar: images without captions, the hints shown as tool tips. The language buttons are
    // checkable; the one that is down (checked) shows the chosen language.
    QToolBar* tbMain = nullptr;
    QAction* ToolButton5 = nullptr;
    QAction* tbLoad = nullptr;
    QAction* tbSave = nullptr;
    QAction* ToolButton1 = nullptr;
    QAction* tbConnect = nullptr;
    QAction* tbDisconnect = nullptr;
    QAction* ToolButton4 = nullptr;
    QAction* tbLoadGate = nullptr;
    QAction* tbSaveGate = nullptr;
    QAction* ToolButton2 = nullptr;
    QAction* tbCzech = nullptr;
    QAction* tbEnglish = nullptr;
    QAction* tbHungary = nullptr;
    QAction* tbPolish = nullptr;
    QAction* ToolButton7 = nullptr;
    QAction* tbTerminal = nullptr;
    QAction* ToolButton3 = nullptr;
    QAction* tbClose = nullptr;

    void buildMenu(QMainWindow* host);
    void buildToolBar(QMainWindow* host);

    void mCloseClick();
    void tbCloseClick();
    void mLoadClick(); // the tool bar's whole-gateway load
    void mSaveClick(); // the tool bar's whole-gateway save
    // The about box and the gateway list are shown without waiting; the main window is disabled meanwhile
    // and enabled again when they close.
    void mAboutClick();
    void mGatewayListClick();
    // The whole-gateway load and save, tool buttons and File menu items together, off while a live tool's page
    // or run holds the link. Every place that turns them on or off goes through here.
    void setGatewayRunsEnabled(bool on);

    // Label steps.
    void setLabelsLanguageNames();                              // the language menu items and buttons
    void setLabelsMainMenu(const Tlabels& labels);              // texts 0-16
    void setLabelsDefaultConfigurations(const Tlabels& labels); // the menu item (the dialog has its own step)
    void setLabelsTopicMenu(const Tlabels& labels);             // the "Gateway control" items
    void setLabelsCaption(const Tlabels& labels);               // window caption and application title
    void setLabelsToolHints(const Tlabels& labels);             // the tool bar's hints
};
