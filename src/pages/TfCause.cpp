#include "pages/TfCause.h"

#include "link/ReplyParsers.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>

namespace {
constexpr int kWidth = 382;
constexpr int kFirstRow = 795;
constexpr int kLastRow = 825;
constexpr int kLabelLeft = 16;
constexpr int kLabelWidth = 130; // the narrowest the labels get; the spin edits stand right of them
constexpr int kSpinLeft = 150;
constexpr int kSpinWidth = 70;
constexpr int kButtonsLeft = 270; // the spin edits end 4 px before the buttons at the latest
constexpr int kGap = 4;
constexpr int kSpinTops[] = {14, 54};
constexpr int kSpinHeight = 24;

// Rows as high as their wrapped meaning: the view wraps a long meaning within its column, and each row takes the
// height that its text needs at that width.
class WrappingRows : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const auto* view = qobject_cast<const QTreeView*>(parent());
        if (!view)
            return size;
        const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const int width = view->columnWidth(index.column()) - 2 * margin;
        const QRect text = option.fontMetrics.boundingRect(QRect(0, 0, std::max(width, 1), 10000), Qt::TextWordWrap,
                                                           index.data(Qt::DisplayRole).toString());
        size.setHeight(std::max(size.height(), text.height() + 2));
        return size;
    }
};

// A spin edit that selects its number whenever it gets the focus, so that the digits typed next replace it.
class SelectingSpinBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QSpinBox::focusInEvent(event);
        selectAll();
    }
};
} // namespace

TfCause::TfCause(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfCause"));
    setWindowTitle(QStringLiteral("fCause"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    lb1 = new QLabel(QStringLiteral("GSM cause :"), this);
    lb1->setObjectName(QStringLiteral("lb1"));
    lb2 = new QLabel(QStringLiteral("Tranfer to cause :"), this);
    lb2->setObjectName(QStringLiteral("lb2"));

    auto spin = [this](const char* name, int top) {
        auto* se = new SelectingSpinBox(this);
        se->setObjectName(QString::fromLatin1(name));
        se->setRange(1, 127);
        se->setValue(1);
        se->setGeometry(kSpinLeft, top, kSpinWidth, kSpinHeight);
        DigitKeyFilter::install(se); // se1KeyPress, se2KeyPress
        return se;
    };
    se1 = spin("se1", kSpinTops[0]);
    se2 = spin("se2", kSpinTops[1]);
    fitLabels();

    sbOk = new QPushButton(QStringLiteral("OK"), this);
    sbOk->setObjectName(QStringLiteral("sbOk"));
    sbOk->setGeometry(270, 12, 100, 27);
    sbOk->setDefault(true);
    connect(sbOk, &QPushButton::clicked, this, &QDialog::accept);
    sbCancel = new QPushButton(QStringLiteral("Cancel"), this);
    sbCancel->setObjectName(QStringLiteral("sbCancel"));
    sbCancel->setGeometry(270, 48, 100, 27);
    connect(sbCancel, &QPushButton::clicked, this, &QDialog::reject);
    BitBtn1 = new QPushButton(QStringLiteral("?"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(270, 84, 100, 27);
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QString(), QString()});
    ListView1->header()->setStretchLastSection(false);
    ListView1->setColumnWidth(0, 30);
    ListView1->setColumnWidth(1, 300);
    // A meaning longer than its column goes on in a second line rather than being cut short.
    ListView1->setWordWrap(true);
    ListView1->setItemDelegate(new WrappingRows(ListView1));
    ListView1->setGeometry(8, 122, kWidth - 16, 532 - 130);

    setFixedSize(kWidth, 532);
}

void TfCause::BitBtn1Click()
{
    ListView1->setVisible(!ListView1->isVisibleTo(this));
    setFixedSize(kWidth, ListView1->isVisibleTo(this) ? kHeightWithList : kHeightWithoutList);
    if (ListView1->isVisibleTo(this))
        ListView1->resize(ListView1->width(), kHeightWithList - ListView1->y() - 8);
}

void TfCause::setLabelsLabels(const Tlabels& t)
{
    lb1->setText(labelOr(t, 466, QStringLiteral("GSM cause :")));
    lb2->setText(labelOr(t, 467, QStringLiteral("Tranfer to cause :")));
    fitLabels();
}

void TfCause::fitLabels()
{
    // Both labels take the width of the longer text, and the spin edits move right of it; a text too long for
    // the room before the buttons wraps. Each label stands level with its spin edit.
    const int room = kButtonsLeft - kGap - kSpinWidth - kGap - kLabelLeft;
    int width = kLabelWidth;
    for (QLabel* label : {lb1, lb2}) {
        label->setWordWrap(false);
        width = std::max(width, label->sizeHint().width());
    }
    width = std::min(width, room);
    QLabel* const labels[] = {lb1, lb2};
    QSpinBox* const spins[] = {se1, se2};
    for (int i = 0; i < 2; ++i) {
        QLabel* label = labels[i];
        label->setWordWrap(label->sizeHint().width() > width);
        const int height = label->wordWrap() ? label->heightForWidth(width) : label->sizeHint().height();
        label->setGeometry(kLabelLeft, kSpinTops[i] + (kSpinHeight - height) / 2, width, height);
        spins[i]->move(std::max(kSpinLeft, kLabelLeft + width + kGap), kSpinTops[i]);
    }
}

void TfCause::setLabelsCauses(const Tlabels& t)
{
    ListView1->clear();
    const QStringList header = causeEntryCells(labelAt(t, 794));
    ListView1->setHeaderLabels({QString(), header.value(0)});
    // A translation may lack a row or hold a broken one: a row without the marker is left out, a row with one
    // cell shows an empty meaning; the other rows come all the same.
    for (int k = kFirstRow; k <= kLastRow; ++k) {
        const QStringList cells = causeEntryCells(labelAt(t, k));
        if (cells.isEmpty())
            continue;
        auto* item = new QTreeWidgetItem(ListView1);
        item->setText(0, cells.value(0));
        item->setText(1, cells.value(1));
    }
}

QStringList causeEntryCells(const QString& entry)
{
    // The CR LF closes the last cell of an entry that has no line end of its own.
    return ReplyValueList(QStringLiteral("#="), entry + QStringLiteral("\r\n"), QLatin1Char(';')).items();
}
