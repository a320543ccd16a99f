#include "ui/StatusPart.h"

#include "ui/TfMain.h"

#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QStatusBar>

namespace {

class StatusTextPanel : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (fMain)
            fMain->sbMainDrawPanel(painter, 1, rect());
    }
    QSize sizeHint() const override { return QSize(1000, fontMetrics().height() + 4); }
    QSize minimumSizeHint() const override { return QSize(20, fontMetrics().height() + 4); }
};

} // namespace

void StatusPart::buildStatusBar(QMainWindow* host)
{
    sbMain = host->statusBar();
    sbMain->setObjectName(QStringLiteral("sbMain"));
    sbMain->setSizeGripEnabled(true);
    sbMainPanel0 = new QLabel(sbMain);
    sbMainPanel0->setObjectName(QStringLiteral("sbMainPanel0"));
    // 207 pixels as designed; wider when the connection text needs it, since our fonts run wider than the
    // design's and the model name stands at the end of the text.
    sbMainPanel0->setMinimumWidth(207);
    sbMainPanel0->setFrameShape(QFrame::StyledPanel);
    sbMainPanel1 = new StatusTextPanel(sbMain);
    sbMainPanel1->setObjectName(QStringLiteral("sbMainPanel1"));
    sbMain->addWidget(sbMainPanel0);
    sbMain->addWidget(sbMainPanel1, 1);
}

void StatusPart::setStatusText(const QString& text)
{
    statusText = text;
    if (sbMainPanel1)
        sbMainPanel1->update();
}

void StatusPart::sbMainDrawPanel(QPainter& painter, int panel, const QRect& rect)
{
    if (panel != 1)
        return;
    painter.setPen(sbMainPanel1 ? sbMainPanel1->palette().color(QPalette::WindowText) : QColor(Qt::black));
    painter.drawText(QRect(rect.left() + 4, rect.top(), rect.width() - 4, rect.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, statusText);
}
