#include "pages/PageFrame.h"

#include "config/DefaultProfiles.h"
#include "config/GateFile.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/Login.h"
#include "link/ui/ConnectionPart.h"
#include "pages/PageState.h"
#include "platform/Dialogs.h"
#include "texts/LabelRule.h"
#include "ui/TfMain.h"
#include "ui/TfParam.h"

#include <QLatin1Char>
#include <QPushButton>

void refreshGatewayModel()
{
    const int before = gatewayModel;
    gatewayModel = QueryGatewayModel();
    if (gatewayModel != before && fMain)
        fMain->setModelLayout(gatewayModel);
}

void showLoadResult()
{
    if (LinkSessionEnded())
        return; // the loss of the link tells it, once
    if (LoadErrors.isEmpty())
        MessageBox(labelText(kTextLoadDone), labelText(kCaptionInformation), MB_ICONINFORMATION);
    else
        MessageBox(labelText(kTextLoadFailed) + QLatin1Char('\n') + LoadErrors, labelText(kCaptionWarning),
                   MB_ICONWARNING);
}

void showSaveResult(bool failed)
{
    if (LinkSessionEnded())
        return;
    if (LoadErrors.isEmpty() && !failed)
        MessageBox(labelText(kTextSaveDone), labelText(kCaptionInformation), MB_ICONINFORMATION);
    else
        MessageBox(labelText(kTextSaveFailed) + QLatin1Char('\n') + LoadErrors, labelText(kCaptionWarning),
                   MB_ICONWARNING);
}

void PageFrame::loadClick() const
{
    const GatewayRunScope run; // the connect's identification counts in it
    if (!connectForPageRun())
        return; // the connect has said why
    const LoadRunScope loading;
    if (modelStep)
        refreshGatewayModel();
    LoadErrors.clear();
    ShowProgress(1, fMain);
    load();
    HideProgress(fMain);
    pageChanged[flag] = 1;
    showLoadResult();
}

void PageFrame::saveClick() const
{
    if (saveValid && !saveValid()) {
        MessageBox(labelText(kTextInvalid), labelText(kCaptionError), MB_ICONERROR);
        return;
    }
    const GatewayRunScope run;
    if (!connectForPageRun())
        return;
    if (modelStep)
        refreshGatewayModel();
    LoadErrors.clear();
    ShowProgress(0, fMain);
    save();
    HideProgress(fMain);
    showSaveResult();
}

void PageFrame::defaultClick() const
{
    // A missing or broken defaults file has its own boxes from the reader; the page takes what was read,
    // unless the file is no gate file at all.
    GateReadReport report;
    ReadGateFile(GateConfig, defaultsIniPath(), defaultMask, &report);
    if (report.notGateFile)
        return;
    fromImage();
    if (defaultSetsFlag)
        pageChanged[flag] = 1;
}

void PageFrame::saveFileClick() const
{
    // Both checks run, so that every refused field is marked at once.
    const bool times = !timesValid || timesValid();
    if ((fileValid && !fileValid()) || !times) {
        MessageBox(labelText(kTextInvalid), labelText(kCaptionError), MB_ICONERROR);
        return;
    }
    toImage();
    if (WriteGateFile(GateConfig, CurrentGateway.File, fileMask)) {
        MessageBox(labelText(kTextFileWritten), labelText(kCaptionInformation), MB_ICONINFORMATION);
        if (fileSaveClearsFlag)
            pageChanged[flag] = 0;
    } else {
        MessageBox(labelText(kTextFileNotWritten), labelText(fileFailureCaption), MB_ICONERROR);
    }
}

void setFrameButtonTexts(const Tlabels& t, QPushButton* save, QPushButton* load, QPushButton* defaults,
                         QPushButton* saveFile)
{
    save->setText(labelOr(t, 127, QStringLiteral("Save to gate")));
    load->setText(labelOr(t, 128, QStringLiteral("Load from gate")));
    defaults->setText(labelOr(t, 154, QStringLiteral("Defaults")));
    saveFile->setText(labelOr(t, 156, QStringLiteral("Save to file")));
}
