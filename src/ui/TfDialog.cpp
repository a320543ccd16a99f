#include "ui/TfDialog.h"

#include "platform/Dialogs.h"
#include "ui/WindowUtil.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace {
constexpr int kMargin = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
} // namespace

TfDialog::TfDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfDialog"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    Image1->setGeometry(8, kMargin, 32, 32);
    lb1 = new QLabel(this);
    lb1->setObjectName(QStringLiteral("lb1"));
    lb1->move(47, kMargin);
    sbYes = new QPushButton(QStringLiteral("Yes"), this);
    sbYes->setObjectName(QStringLiteral("sbYes"));
    sbYes->setDefault(true);
    sbNo = new QPushButton(QStringLiteral("No"), this);
    sbNo->setObjectName(QStringLiteral("sbNo"));
    connect(sbYes, &QPushButton::clicked, this, [this] { sbYesClick(); });
    connect(sbNo, &QPushButton::clicked, this, [this] { sbNoClick(); });
}

void TfDialog::sbYesClick()
{
    answer_ = 1;
    accept();
}

void TfDialog::sbNoClick()
{
    answer_ = 0;
    reject();
}

void TfDialog::prepare(const QString& text, const QString& caption, const QString& yes, const QString& no,
                       int defaultButton)
{
    answer_ = 0; // No until Yes is pressed
    setWindowTitle(caption);
    lb1->setText(text);
    lb1->adjustSize();
    sbYes->setText(yes);
    sbNo->setText(no);

    const int width = lb1->width() + 2 * lb1->x();
    const int buttonsTop = std::max(lb1->y() + lb1->height(), Image1->y() + Image1->height()) + kMargin;
    sbYes->setGeometry(width / 2 - 5 - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
    sbNo->setGeometry(width / 2 + 5, buttonsTop, kButtonWidth, kButtonHeight);
    setFixedSize(width, buttonsTop + kButtonHeight + kMargin);

    if (defaultButton == 0) {
        setTabOrder(sbNo, sbYes);
        firstFocus_ = sbNo;
    } else if (defaultButton == 1) {
        setTabOrder(sbYes, sbNo);
        firstFocus_ = sbYes;
    }
}

void TfDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (firstFocus_)
        firstFocus_->setFocus();
}

bool AskYesNo(const QString& text, const QString& caption, const QString& yes, const QString& no, int defaultButton)
{
    if (!fDialog)
        return false;
    fDialog->prepare(text, caption, yes, no, defaultButton);
    centreOnMainWindow(fDialog);
    ShowModal(fDialog);
    return fDialog->answer() == 1;
}
