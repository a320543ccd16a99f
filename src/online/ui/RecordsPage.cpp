#include "online/ui/RecordsPage.h"

#include "link/CommError.h"
#include "link/LinkState.h"
#include "link/ui/ConnectionPart.h"
#include "online/RecordDownloads.h"
#include "platform/Cp1250.h"
#include "platform/Dialogs.h"
#include "platform/ProgramDir.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/TfParam.h"
#include "ui/WindowUtil.h"

#include <QDateTime>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

const QString kTextFilter = QStringLiteral("Text file (*.txt)|*.txt");

// The load buttons are pressed by the mouse or Enter, never by the Space key.
class SpaceFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
        return false;
    }
};

QPlainTextEdit* recordMemo(QWidget* page, const char* name)
{
    auto* memo = named(new QPlainTextEdit(page), name);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setFrameShape(QFrame::NoFrame);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    memo->setFont(font);
    return memo;
}

QPushButton* recordButton(QWidget* page, const char* name, const QString& caption, QObject* spaceFilter = nullptr)
{
    auto* b = named(new QPushButton(caption, page), name);
    if (spaceFilter)
        b->installEventFilter(spaceFilter);
    return b;
}

// The memo takes one entry: its lines as the gateway's line ends split them.
void addEntry(QPlainTextEdit* memo, const QByteArray& entry)
{
    QTextCursor cursor(memo->document());
    cursor.movePosition(QTextCursor::End);
    bool fresh = memo->document()->isEmpty();
    for (const QByteArray& line : RecordEntryLines(entry)) {
        if (!fresh)
            cursor.insertBlock();
        fresh = false;
        cursor.insertText(decodeCp1250(line));
    }
}

RecordMemoAdd memoAdder(QPlainTextEdit* memo)
{
    return [memo](const QByteArray& entry) {
        addEntry(memo, entry);
        memo->repaint();
    };
}

bool connectForRecords()
{
    connectForPageRun();
    return CurrentConnection.Connected;
}

} // namespace

void RecordsPage::buildRecordsPage(QWidget* host)
{
    pLog = addTopicPage(host, "pLog", 22);
    pCall = addTopicPage(host, "pCall", 23);
    pStatistics = addTopicPage(host, "pStatistics", 24);
    for (QScrollArea* area : {pLog, pCall, pStatistics})
        area->setWidgetResizable(true);

    auto* spaceFilter = new SpaceFilter(host);
    struct Built
    {
        QPlainTextEdit* memo;
        QLineEdit* edit;
        QPushButton* load;
        QPushButton* loadDelete;
        QPushButton* chooser;
        QPushButton* save;
    };
    auto build = [spaceFilter](QScrollArea* area, const char* memo, const char* edit, const char* load,
                               const char* loadDelete, const char* chooser, const char* save) {
        QWidget* page = area->widget();
        Built b{};
        b.memo = recordMemo(page, memo);
        b.load = recordButton(page, load, QStringLiteral("Load from gate"), spaceFilter);
        if (loadDelete)
            b.loadDelete = recordButton(page, loadDelete, QStringLiteral("Load and delete"), spaceFilter);
        b.edit = named(new QLineEdit(page), edit);
        b.chooser = recordButton(page, chooser, QStringLiteral("..."));
        b.chooser->setFixedWidth(32);
        b.save = recordButton(page, save, QStringLiteral("Save to file"));
        auto* bottom = new QHBoxLayout;
        bottom->addWidget(b.load);
        if (b.loadDelete)
            bottom->addWidget(b.loadDelete);
        bottom->addWidget(b.edit, 1);
        bottom->addWidget(b.chooser);
        bottom->addWidget(b.save);
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(b.memo, 1);
        layout->addLayout(bottom);
        return b;
    };

    Built log = build(pLog, "mLog", "edLogFile", "sbLogLoad", nullptr, "sbLogFile", "sbLogSave");
    mLog = log.memo, edLogFile = log.edit, sbLogLoad = log.load, sbLogFile = log.chooser, sbLogSave = log.save;
    Built stat =
        build(pStatistics, "mStatistic", "edStatFile", "sbStatLoad", "sbStatLoadDelete", "sbStatFile", "sbStatSave");
    mStatistic = stat.memo, edStatFile = stat.edit, sbStatLoad = stat.load, sbStatLoadDelete = stat.loadDelete;
    sbStatFile = stat.chooser, sbStatSave = stat.save;
    Built call = build(pCall, "mCall", "edCallFile", "sbCallLoad", "sbCallLoadDelete", "sbCallFile", "sbCallSave");
    mCall = call.memo, edCallFile = call.edit, sbCallLoad = call.load, sbCallLoadDelete = call.loadDelete;
    sbCallFile = call.chooser, sbCallSave = call.save;

    QObject::connect(sbLogLoad, &QPushButton::clicked, pLog, [this] { sbLogLoadClick(); });
    QObject::connect(sbStatLoad, &QPushButton::clicked, pStatistics, [this] { sbStatLoadClick(); });
    QObject::connect(sbCallLoad, &QPushButton::clicked, pCall, [this] { sbCallLoadClick(); });
    QObject::connect(sbStatLoadDelete, &QPushButton::clicked, pStatistics, [this] { sbStatLoadDeleteClick(); });
    QObject::connect(sbCallLoadDelete, &QPushButton::clicked, pCall, [this] { sbCallLoadDeleteClick(); });
    QObject::connect(sbLogFile, &QPushButton::clicked, pLog, [this] { sbLogFileClick(); });
    QObject::connect(sbCallFile, &QPushButton::clicked, pCall, [this] { sbCallFileClick(); });
    QObject::connect(sbStatFile, &QPushButton::clicked, pStatistics, [this] { sbStatFileClick(); });
    QObject::connect(sbLogSave, &QPushButton::clicked, pLog, [this] { sbLogSaveClick(); });
    QObject::connect(sbStatSave, &QPushButton::clicked, pStatistics, [this] { sbStatSaveClick(); });
    QObject::connect(sbCallSave, &QPushButton::clicked, pCall, [this] { sbCallSaveClick(); });

    recordsGatewaySelected(fMain ? fMain->toolFilesFolder : programDir());
}

void RecordsPage::recordsGatewaySelected(const QString& folder)
{
    if (!edLogFile)
        return;
    const QDir dir(folder);
    edLogFile->setText(dir.filePath(QStringLiteral("Log File.txt")));
    edStatFile->setText(dir.filePath(QStringLiteral("Statistics.txt")));
    edCallFile->setText(dir.filePath(QStringLiteral("Call Data.txt")));
}

void RecordsPage::setLabelsLogFile(const Tlabels& t)
{
    sbLogLoad->setText(labelOr(t, 128, QStringLiteral("Load from gate")));
    sbLogSave->setText(labelOr(t, 156, QStringLiteral("Save to file")));
}

void RecordsPage::setLabelsCallData(const Tlabels& t)
{
    sbCallLoad->setText(labelOr(t, 128, QStringLiteral("Load from gate")));
    sbCallSave->setText(labelOr(t, 156, QStringLiteral("Save to file")));
    sbCallLoadDelete->setText(labelOr(t, 162, QStringLiteral("Load and delete")));
}

void RecordsPage::setLabelsStatistics(const Tlabels& t)
{
    sbStatLoad->setText(labelOr(t, 128, QStringLiteral("Load from gate")));
    sbStatSave->setText(labelOr(t, 156, QStringLiteral("Save to file")));
    sbStatLoadDelete->setText(labelOr(t, 162, QStringLiteral("Load and delete")));
}

void RecordsPage::showRecordOutcome(const RecordOutcome& outcome)
{
    if (outcome.error && outcome.text == kCommErrorText)
        CommErrorBox();
    else if (outcome.error)
        MessageBox(labelText(outcome.text), labelText(47), MB_ICONERROR);
    else
        MessageBox(labelText(outcome.text), labelText(54), MB_ICONINFORMATION);
}

void RecordsPage::endRecordRun(const RecordOutcome& outcome)
{
    // A run that broke off (a command, a page answer or a "#" not written whole, a reset not confirmed, the link
    // gone) says so over the progress window, which closes once the box has been answered; the closing message
    // of a run that came to its end follows the window's close.
    if (!outcome.closing)
        showRecordOutcome(outcome);
    HideProgress(fMain);
    if (outcome.closing)
        showRecordOutcome(outcome);
}

void RecordsPage::sbLogLoadClick()
{
    if (!connectForRecords())
        return;
    ShowProgress(3, fMain);
    mLog->clear();
    const RecordOutcome outcome = RunLogDownload(memoAdder(mLog));
    endRecordRun(outcome);
}

void RecordsPage::sbStatLoadClick()
{
    if (!connectForRecords())
        return;
    mStatistic->clear();
    ShowProgress(3, fMain);
    const RecordOutcome outcome =
        RunStatisticsDownload(memoAdder(mStatistic), labelOr(labelTexts, 489, QStringLiteral("Total statistics")),
                              labelOr(labelTexts, 490, QStringLiteral("Modules statistics")));
    endRecordRun(outcome);
}

void RecordsPage::sbStatLoadDeleteClick()
{
    if (!connectForRecords())
        return;
    mStatistic->clear();
    ShowProgress(3, fMain);
    bool complete = false;
    RecordOutcome outcome =
        RunStatisticsDownload(memoAdder(mStatistic), labelOr(labelTexts, 489, QStringLiteral("Total statistics")),
                              labelOr(labelTexts, 490, QStringLiteral("Modules statistics")), &complete);
    // Counters are zeroed only when the user has seen both sections whole (never once the window is closing).
    if (outcome.closing && (!complete || closingProgram()))
        outcome = {62, true, true};
    else if (outcome.closing)
        outcome = RunStatisticsResets();
    endRecordRun(outcome);
}

void RecordsPage::sbCallLoadClick()
{
    if (!connectForRecords())
        return;
    ShowProgress(3, fMain);
    mCall->clear();
    const RecordOutcome outcome = RunCallDownload(memoAdder(mCall));
    endRecordRun(outcome);
}

void RecordsPage::sbCallLoadDeleteClick()
{
    mCall->clear();
    mCall->repaint();
    if (!connectForRecords())
        return;
    ShowProgress(3, fMain);
    const RecordOutcome outcome = RunCallLoadDelete(memoAdder(mCall));
    endRecordRun(outcome);
}

void RecordsPage::chooseRecordFile(QLineEdit* edit, const QString& defaultName)
{
    const QString preset = edit->text().isEmpty() ? defaultName : RecordChooserPreset(edit->text());
    const QString chosen = GetSaveFileName(fMain, QString(), preset, kTextFilter);
    if (chosen.isEmpty())
        return;
    edit->setText(RecordChosenName(chosen));
}

void RecordsPage::saveRecordMemo(QPlainTextEdit* memo, QLineEdit* edit)
{
    if (memo->document()->isEmpty())
        return;
    // The lines as the memo holds them: its plain text would turn the no-break spaces of the records into
    // blanks.
    QStringList lines;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                          locale.toString(now.time(), QLocale::LongFormat);
    if (!AppendRecordFile(edit->text(), CurrentGateway.Name, stamp, lines)) {
        MessageBox(labelText(60), labelText(47), MB_ICONERROR);
        return;
    }
    MessageBox(labelText(75), labelText(54), MB_ICONINFORMATION);
}
