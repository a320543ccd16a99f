// The label pass: every window takes the texts of the current language, in one fixed order of steps. Each
// step belongs to the part or dialog that owns the window and sets its texts by the rule of labelOr (the
// language's entry, or the place's English text when the entry is empty).
#include "firmware/ui/TfFirm.h"
#include "link/ui/TfAddNumber.h"
#include "link/ui/TfCommSettings.h"
#include "link/ui/TfDialing.h"
#include "link/ui/TfGatewayList.h"
#include "link/ui/TfInsertIp.h"
#include "link/ui/TfLogin.h"
#include "link/ui/TfNewGateway.h"
#include "pages/TfAuto.h"
#include "pages/TfCause.h"
#include "pages/TfExt.h"
#include "pages/TfLcr.h"
#include "pages/TfNet.h"
#include "pages/TinCallPrefixForm.h"
#include "ui/TfDefault.h"
#include "ui/TfHelp.h"
#include "ui/TfMain.h"
#include "ui/TwReset.h"

void TfMain::setLabels(Tlabels labels)
{
    const Tlabels& t = labels;

    setLabelsLanguageNames();          //  1 (names the file lacks leave their places as they were)
    ShowConnectionInfo();              //  2
    setLabelsMainMenu(t);              //  3
    setLabelsDefaultConfigurations(t); //  4
    fDefault->setLabels(t);
    setLabelsTopicMenu(t);       //  5
    setLabelsTopicTree(t);       //  6 (copies the captions of step 5)
    fCommSettings->setLabels(t); //  7
    fGatewayList->setLabels(t);  //  8
    fNewGateway->setLabels1(t);  //  9
    fLogin->setLabels(t);        // 10
    fNewGateway->setLabels2(t);  // 11
    wReset->setLabels(t);        // 12
    fInsertIp->setLabels(t);     // 13
    setLabelsDateTime(t);        // 14
    setLabelsLoginAccount(t);    // 15
    setLabelsFirmware(t);        // 16
    setLabelsTracing(t);         // 17
    setLabelsLogFile(t);         // 18
    setLabelsCallData(t);        // 19
    setLabelsStatistics(t);      // 20
    setLabelsVoice1(t);          // 21
    setLabelsVoiceTransfer(t);
    setLabelsVoice2(t);
    setLabelsMonitor(t);         // 22
    setLabelsActual(t);          // 23
    setLabelsTestCalls(t);       // 24
    setLabelsConnectionState(t); // 25
    setLabelsIsdn1(t);           // 26
    setLabelsCommands(t);        // 27
    setLabelsDiag(t);            // 28
    setLabelsSystem(t);          // 29
    setLabelsLcr1(t);            // 30
    setLabelsBasic1(t);
    setLabelsOutgoing1(t);
    setLabelsIncoming1(t);
    setLabelsPortModes1(t);
    setLabelsNet1(t);
    setLabelsIsdn2(t); // 31
    setLabelsBasic2(t);
    setLabelsIsdn3(t);
    setLabelsIsdnMonitoring(t);
    setLabelsPortModes2(t); // 32 (re-runs the checked radios' handlers)
    setLabelsBasic3(t);     // 33
    setLabelsIsdn4(t);
    setLabelsBasic4(t);
    setLabelsLcr2(t); // 34
    setLabelsBasic5(t);
    setLabelsLcr3(t);
    setLabelsBasic6(t);
    setLabelsIsdn5(t);
    setLabelsBasic7(t);
    setLabelsGroup(t);     // 35
    setLabelsOutgoing2(t); // 36
    setLabelsIncoming2(t); // 37
    setLabelsNet2(t);      // 38
    fNet->setLabels(t);    // 39
    setLabelsLcr4(t);      // 40
    setLabelsAuto1(t);
    setLabelsExt1(t);
    setLabelsLcr5(t);
    setLabelsAuto2(t);
    inCallPrefixForm->setLabels(t); // 41
    setLabelsIncoming3(t);          // 42
    setLabelsAuto3(t);              // 43
    setLabelsExt2(t);
    fLcr->setLabels(t);         // 44
    fAuto->setLabels(t);        // 45
    fExt->setLabels(t);         // 46
    setLabelsExt3(t);           // 47
    fHelp->setLabelsTexts(t);   // 48
    setLabelsCaption(t);        // 49
    fHelp->setLabelsCaption(t); // 50
    fCause->setLabelsLabels(t); // 51
    setLabelsToolHints(t);      // 52 (replaces two hints of step 1)
    setLabelsTopicTitle(t);     // 53
    fDialing->setLabels(t);     // 54
    fAddNumber->setLabels(t);   // 55
    setLabelsBuffer(t);         // 56
    fCause->setLabelsCauses(t); // 57
}
