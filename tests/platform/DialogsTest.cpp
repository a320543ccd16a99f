// Message boxes and dialogs: the scripted test handler, and the Qt handler's reading of the Win32 flags.
#include "platform/Dialogs.h"
#include "platform/WorkerThread.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

TEST(ScriptedDialogsTest, BoxesAreRecordedAndAnsweredInOrder)
{
    ScriptedDialogs dialogs;
    dialogs.answerBoxes({IDNO, IDOK});
    EXPECT_EQ(MessageBox("Save the changes?", "Question", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBox("Saved.", "Info", MB_OK | MB_ICONINFORMATION), IDOK);
    ASSERT_EQ(dialogs.boxes().size(), 2);
    EXPECT_EQ(dialogs.boxes()[0].text, "Save the changes?");
    EXPECT_EQ(dialogs.boxes()[0].caption, "Question");
    EXPECT_EQ(dialogs.boxes()[0].flags, 0x23u);
    EXPECT_EQ(dialogs.boxes()[1].answer, IDOK);
    EXPECT_EQ(dialogs.boxTexts(), (QStringList{"Save the changes?", "Saved."}));
}

TEST(ScriptedDialogsTest, UnscriptedBoxesGetTheAnswerOfAUserWhoClosesThem)
{
    ScriptedDialogs dialogs;
    const std::pair<unsigned, int> cases[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_OKCANCEL, IDCANCEL},
        {MB_YESNOCANCEL | MB_ICONQUESTION, IDCANCEL},
        {MB_YESNO | MB_ICONWARNING, IDNO},
        {0x02, IDABORT},
        {0x05, IDCANCEL},
    };
    for (const auto& [flags, expected] : cases)
        EXPECT_EQ(MessageBox("text", "caption", flags), expected) << "flags 0x" << std::hex << flags;
    EXPECT_EQ(dialogs.boxes().size(), static_cast<qsizetype>(std::size(cases)));
}

void answerYesToAnOkBox()
{
    ScriptedDialogs dialogs;
    dialogs.answerBox(IDYES);
    MessageBox("Done.", "Info", MB_OK);
}

void leaveAnAnswerUnused()
{
    ScriptedDialogs dialogs;
    dialogs.answerBox(IDYES);
}

TEST(ScriptedDialogsTest, ScriptMistakesFailTheTest)
{
    EXPECT_NONFATAL_FAILURE(answerYesToAnOkBox(), "is not a button of the box \"Done.\"");
    EXPECT_NONFATAL_FAILURE(leaveAnAnswerUnused(), "never used");
}

TEST(ScriptedDialogsTest, AnInnerHandlerHandsBackToTheOuterOne)
{
    ScriptedDialogs outer;
    outer.answerBox(IDYES);
    {
        ScriptedDialogs inner;
        EXPECT_EQ(dialogHandler(), &inner);
        inner.answerBox(IDOK);
        EXPECT_EQ(MessageBox("inner", "", MB_OKCANCEL), IDOK);
    }
    EXPECT_EQ(dialogHandler(), &outer);
    EXPECT_EQ(MessageBox("outer", "", MB_YESNO), IDYES);
    EXPECT_EQ(outer.boxTexts(), QStringList{"outer"});
}

TEST(ScriptedDialogsTest, FileDialogsAndInputQueries)
{
    ScriptedDialogs dialogs;
    dialogs.answerOpenFile("/tmp/firmware.hex");
    dialogs.answerSaveFile("/tmp/LOG.txt");
    EXPECT_EQ(GetOpenFileName(nullptr, "Firmware", "/tmp", "Hex file (*.hex)|*.hex"), "/tmp/firmware.hex");
    EXPECT_EQ(GetSaveFileName(nullptr, "Save log", "LOG", "Text file (*.txt)|*.txt"), "/tmp/LOG.txt");
    EXPECT_EQ(GetOpenFileName(nullptr, "Again", "", ""), "") << "no answer queued: cancelled";
    ASSERT_EQ(dialogs.fileDialogs().size(), 3);
    EXPECT_FALSE(dialogs.fileDialogs()[0].save);
    EXPECT_EQ(dialogs.fileDialogs()[0].filter, "Hex file (*.hex)|*.hex");
    EXPECT_TRUE(dialogs.fileDialogs()[1].save);
    EXPECT_EQ(dialogs.fileDialogs()[1].initialPath, "LOG");

    dialogs.answerInput("604123456");
    dialogs.cancelInput();
    QString value = "old";
    EXPECT_TRUE(InputQuery("Add", "Number:", value));
    EXPECT_EQ(value, "604123456");
    EXPECT_FALSE(InputQuery("Add", "Number:", value));
    EXPECT_EQ(value, "604123456") << "a cancelled query leaves the value alone";
    EXPECT_FALSE(InputQuery("Add", "Number:", value)) << "no answer queued: cancelled";
    ASSERT_EQ(dialogs.inputs().size(), 3);
    EXPECT_EQ(dialogs.inputs()[0].initialValue, "old");
    EXPECT_TRUE(dialogs.inputs()[0].accepted);
    EXPECT_FALSE(dialogs.inputs()[1].accepted);
}

// A dialog that fills its edit when it is shown, as the program's dialogs do.
class NameDialog : public QDialog
{
public:
    NameDialog()
    {
        setObjectName("TfName");
        setWindowTitle("Name");
        edit = new QLineEdit(this);
        edit->setObjectName("edName");
    }
    QLineEdit* edit;

protected:
    void showEvent(QShowEvent* e) override
    {
        edit->setText("from show");
        QDialog::showEvent(e);
    }
};

TEST(ScriptedDialogsTest, ModalDialogsRunTheScriptWhileShown)
{
    ScriptedDialogs dialogs;
    QString seen;
    dialogs.onModal([&](QDialog* d) {
        auto* edit = d->findChild<QLineEdit*>("edName");
        seen = edit->text();
        edit->setText("typed");
        d->accept();
    });
    dialogs.onModal([](QDialog*) {}); // leaves it open: the dialog is closed as rejected

    NameDialog dialog;
    EXPECT_EQ(ShowModal(&dialog), QDialog::Accepted);
    EXPECT_EQ(seen, "from show");
    EXPECT_EQ(dialog.edit->text(), "typed");
    EXPECT_FALSE(dialog.isVisible());

    EXPECT_EQ(ShowModal(&dialog), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ShowModal(&dialog), QDialog::Rejected) << "no script queued";

    ASSERT_EQ(dialogs.modals().size(), 3);
    EXPECT_EQ(dialogs.modals()[0].objectName, "TfName");
    EXPECT_EQ(dialogs.modals()[0].title, "Name");
    EXPECT_EQ(dialogs.modals()[0].result, QDialog::Accepted);
    EXPECT_EQ(dialogs.modals()[1].result, QDialog::Rejected);
}

class BoxFromWorker : public WorkerThread
{
public:
    std::atomic<int> answer{0};

protected:
    void Execute() override { answer = MessageBox("from a worker", "", MB_YESNO); }
};

// Records the thread each box is shown on.
class ThreadRecorder : public ScriptedDialogs
{
public:
    QThread* shownOn = nullptr;
    int messageBox(const QString& text, const QString& caption, unsigned flags) override
    {
        shownOn = QThread::currentThread();
        return ScriptedDialogs::messageBox(text, caption, flags);
    }
};

TEST(DialogsTest, ABoxAskedForByAWorkerIsShownOnTheUiThread)
{
    ThreadRecorder dialogs;
    dialogs.answerBox(IDYES);
    auto* worker = new BoxFromWorker;
    QPointer<BoxFromWorker> cell(worker);
    worker->FreeOnTerminate = false;
    worker->Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker->isFinished(); }, 5000));
    EXPECT_EQ(worker->answer.load(), IDYES);
    EXPECT_EQ(dialogs.shownOn, qApp->thread());
    delete worker;
}

// Runs act on the next modal widget of type W, from inside its modal loop.
template <class W> void whenModalAppears(std::function<void(W*)> act)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

class QtHandlerTest : public ::testing::Test
{
protected:
    void SetUp() override { previous_ = setDialogHandler(nullptr); }
    void TearDown() override { setDialogHandler(previous_); }
    DialogHandler* previous_ = nullptr;
};

TEST_F(QtHandlerTest, MessageBoxFlagsBecomeButtonsIconsAndAnswers)
{
    using SB = QMessageBox::StandardButton;
    struct Case
    {
        unsigned flags;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
        SB expectedDefault;
        SB click;
        int expected;
    } cases[] = {
        {0x40, SB::Ok, QMessageBox::Information, SB::Ok, SB::Ok, IDOK},
        {0x30, SB::Ok, QMessageBox::Warning, SB::Ok, SB::Ok, IDOK},
        {0x11, SB::Ok | SB::Cancel, QMessageBox::Critical, SB::Ok, SB::Cancel, IDCANCEL},
        {0x23, SB::Yes | SB::No | SB::Cancel, QMessageBox::Question, SB::Yes, SB::No, IDNO},
        {0x24, SB::Yes | SB::No, QMessageBox::Question, SB::Yes, SB::Yes, IDYES},
        {0x124, SB::Yes | SB::No, QMessageBox::Question, SB::No, SB::No, IDNO}, // second button is the default
        {0x01, SB::Ok | SB::Cancel, QMessageBox::NoIcon, SB::Ok, SB::Ok, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.flags);
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        SB defaultButton = SB::NoButton;
        QString title, text;
        Qt::TextFormat format = Qt::AutoText;
        whenModalAppears<QMessageBox>([&](QMessageBox* box) {
            buttons = box->standardButtons();
            icon = box->icon();
            defaultButton = box->standardButton(box->defaultButton());
            title = box->windowTitle();
            text = box->text();
            format = box->textFormat();
            box->button(c.click)->click();
        });
        EXPECT_EQ(MessageBox("<b>not markup</b>", "Caption", c.flags), c.expected);
        EXPECT_EQ(buttons, c.buttons);
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(defaultButton, c.expectedDefault);
        EXPECT_EQ(title, "Caption");
        EXPECT_EQ(text, "<b>not markup</b>");
        EXPECT_EQ(format, Qt::PlainText);
    }
}

TEST_F(QtHandlerTest, OldStyleFiltersAreConvertedForTheFileDialog)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"Text file (*.txt)|*.txt", {"Text file (*.txt)"}},
        {"Hex files|*.hex;*.ihx|All files|*.*", {"Hex files (*.hex *.ihx)", "All files (*.*)"}},
        {"Wave (*.wav)", {"Wave (*.wav)"}},
    };
    for (const auto& [filter, expected] : cases) {
        SCOPED_TRACE(filter);
        QStringList seen;
        whenModalAppears<QFileDialog>([&](QFileDialog* d) {
            seen = d->nameFilters();
            d->reject();
        });
        EXPECT_EQ(GetOpenFileName(nullptr, "Open", QString(), filter), "");
        EXPECT_EQ(seen, expected);
    }
}

} // namespace
