#include "ui/TfHelp.h"

#include "texts/LabelRule.h"
#include "texts/ProgramVersion.h"
#include "ui/WindowUtil.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QLabel* centredLabel(QWidget* parent, const char* name, QVBoxLayout* layout)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignHCenter);
    layout->addWidget(label);
    return label;
}

} // namespace

TfHelp::TfHelp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfHelp"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(4);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignHCenter);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    layout->addWidget(Image1);
    Label1 = centredLabel(this, "Label1", layout);
    Label1->setText(QStringLiteral("Mesk config program"));
    QFont bold = Label1->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    Label1->setFont(bold);
    lb2 = centredLabel(this, "lb2", layout);
    lb3 = centredLabel(this, "lb3", layout);
    layout->addSpacing(8);
    lb4 = centredLabel(this, "lb4", layout);
    lbFirm = centredLabel(this, "lbFirm", layout);
    lbFirm->setWordWrap(true);
    layout->addSpacing(8);
    lb5 = centredLabel(this, "lb5", layout);
    lb6 = centredLabel(this, "lb6", layout);
    lb7 = centredLabel(this, "lb7", layout);
    lb8 = centredLabel(this, "lb8", layout);
    lbWww = centredLabel(this, "lbWww", layout);
    lbWww->setCursor(Qt::PointingHandCursor);
    QPalette link = lbWww->palette();
    link.setColor(QPalette::WindowText, link.color(QPalette::Link));
    lbWww->setPalette(link);
    QFont underlined = lbWww->font();
    underlined.setUnderline(true);
    lbWww->setFont(underlined);
    lbWww->installEventFilter(this);
    layout->addSpacing(8);
    SpeedButton1 = new QPushButton(QStringLiteral("OK"), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setDefault(true);
    layout->addWidget(SpeedButton1, 0, Qt::AlignHCenter);
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });

    setLabelsTexts({});
}

void TfHelp::SpeedButton1Click()
{
    close();
}

void TfHelp::lbWwwClick()
{
    // Only a web address is handed to the desktop; a language text holding anything else opens nothing.
    const QUrl url = QUrl::fromUserInput(lbWww->text().trimmed());
    if (url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")))
        QDesktopServices::openUrl(url);
}

void TfHelp::setLabelsTexts(const Tlabels& t)
{
    lb2->setText(labelOr(t, 418, QStringLiteral("Mesk config program")));
    lb3->setText(labelOr(t, 419, QStringLiteral("Program version : ")) + QLatin1Char(' ') + programVersion);
    lb4->setText(labelOr(t, 420, QStringLiteral("For firmware : ")));
    lbFirm->setText(firmwareVersion1 + QStringLiteral(", ") + firmwareVersion2 + QStringLiteral(", ") +
                    firmwareVersion3 + QLatin1Char('\n') + firmwareVersion4);
    lb5->setText(labelOr(t, 424, QStringLiteral("GSM-ISDN telephony gateways")));
    lb6->setText(labelOr(t, 425, QStringLiteral("Technical support")));
    lb7->setText(labelOr(t, 421, QStringLiteral("Phone : see the gateway's documentation")));
    lb8->setText(labelOr(t, 422, QStringLiteral("Fax : see the gateway's documentation")));
    lbWww->setText(labelOr(t, 423, QStringLiteral("https://www.example.com/")));
}

void TfHelp::setLabelsCaption(const Tlabels& t)
{
    setWindowTitle(labelOr(t, 426, QStringLiteral("About")));
}

void TfHelp::done(int result)
{
    QDialog::done(result);
    enableMainWindow();
}

bool TfHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbWww && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lbWwwClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
