#include "ui/Forms.h"

#include "firmware/ui/TfFirm.h"
#include "link/LinkState.h"
#include "link/ui/TfAddNumber.h"
#include "link/ui/TfCommSettings.h"
#include "link/ui/TfDialing.h"
#include "link/ui/TfGatewayList.h"
#include "link/ui/TfInsertIp.h"
#include "link/ui/TfLogin.h"
#include "link/ui/TfNewGateway.h"
#include "link/ui/TfSpeedConnect.h"
#include "pages/TfAuto.h"
#include "pages/TfCause.h"
#include "pages/TfExt.h"
#include "pages/TfLcr.h"
#include "pages/TfNet.h"
#include "pages/TfQuestionMark.h"
#include "pages/TinCallPrefixForm.h"
#include "ui/TfDefault.h"
#include "ui/TfDialog.h"
#include "ui/TfHelp.h"
#include "ui/TfLoad.h"
#include "ui/TfMain.h"
#include "ui/TfParam.h"
#include "ui/TwReset.h"
#include "ui/WindowUtil.h"

namespace {

template <typename T> void create(T*& pointer)
{
    pointer = new T(nullptr);
}

template <typename T> void destroy(T*& pointer)
{
    delete pointer;
    pointer = nullptr;
}

} // namespace

void createForms()
{
    new TfMain; // sets fMain
    create(fCommSettings);
    create(fSpeedConnect);
    create(fGatewayList);
    create(fNewGateway);
    create(wReset);
    create(fExt);
    create(fAuto);
    create(fLcr);
    create(fNet);
    create(fParam);
    create(fLoad);
    create(fFirm);
    create(fHelp);
    create(fCause);
    create(fDialing);
    create(fDialog);
    create(fAddNumber);
    create(fLogin);
    create(fQuestionMark);
    create(fDefault);
    create(fInsertIp);
    create(inCallPrefixForm);
    // Every window of the program stands in front of the main window, modal or not.
    for (QWidget* window : std::initializer_list<QWidget*>{
             fCommSettings, fSpeedConnect, fGatewayList, fNewGateway, wReset,   fExt,   fAuto,         fLcr,
             fNet,          fParam,        fLoad,        fFirm,       fHelp,    fCause, fDialing,      fDialog,
             fAddNumber,    fLogin,        fQuestionMark, fDefault,   fInsertIp, inCallPrefixForm})
        keepInFrontOfMainWindow(window);

    // Every command the link sends shows in the progress window's status line.
    commandStatusHook = [](const QString& command) {
        if (fLoad)
            fLoad->SetStatus(command);
    };
}

void destroyForms()
{
    commandStatusHook = nullptr;
    destroy(inCallPrefixForm);
    destroy(fInsertIp);
    destroy(fDefault);
    destroy(fQuestionMark);
    destroy(fLogin);
    destroy(fAddNumber);
    destroy(fDialog);
    destroy(fDialing);
    destroy(fCause);
    destroy(fHelp);
    destroy(fFirm);
    destroy(fLoad);
    destroy(fParam);
    destroy(fNet);
    destroy(fLcr);
    destroy(fAuto);
    destroy(fExt);
    destroy(wReset);
    destroy(fNewGateway);
    destroy(fGatewayList);
    destroy(fSpeedConnect);
    destroy(fCommSettings);
    delete fMain; // clears fMain
    fMain = nullptr;
}
