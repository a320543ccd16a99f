#include "ui/TfParam.h"

#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

TfParam::TfParam(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfParam"));
    // No system menu and no close box: the window goes when the run ends.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Parametres"));
    lb1 = new QLabel(this);
    lb1->setObjectName(QStringLiteral("lb1"));
    lb1->setAlignment(Qt::AlignCenter);
    lb1->setMinimumWidth(300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->addWidget(lb1);
}

void TfParam::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void TfParam::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return; // Escape would close a dialog
    QDialog::keyPressEvent(event);
}

void ShowProgress(int title, QWidget* parent)
{
    struct Texts
    {
        int captionK;
        const char* caption;
        int labelK;
        const char* label;
    };
    static const Texts kTitles[] = {
        {112, "Saving parametres", 113, "Saving parametres ... please wait"},
        {114, "Loading parametres", 115, "Loading parametres ... please wait"},
        {110, "Reading information", 111, "Reading information about gateway ... please wait"},
        {221, "Loading from gateway", 222, "Loading from gateway ... please wait"},
    };
    if (!fParam || closingProgram()) // the main window is gone: work ending after the close shows nothing
        return;
    if (title >= 0 && title < 4) {
        const Texts& t = kTitles[title];
        fParam->setWindowTitle(labelOr(labelTexts, t.captionK, QString::fromLatin1(t.caption)));
        fParam->lb1->setText(labelOr(labelTexts, t.labelK, QString::fromLatin1(t.label)));
    }
    progressShown = true;
    centreOnMainWindow(fParam);
    fParam->show();
    fParam->lb1->repaint();
    fParam->repaint();
    if (parent)
        parent->repaint();
    fParam->activateWindow();
    fParam->setFocus();
    if (parent)
        parent->setEnabled(false);
}

void HideProgress(QWidget* parent)
{
    progressShown = false;
    if (fParam)
        fParam->hide();
    if (parent) {
        parent->setEnabled(true);
        parent->activateWindow();
        parent->setFocus();
    }
}
