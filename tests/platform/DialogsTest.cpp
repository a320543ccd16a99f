// Message boxes and dialogs: a worker's box on the UI thread, and the Qt handler's reading of the Win32 flags.
#include "platform/Dialogs.h"
#include "platform/WorkerThread.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(DialogsTest, ABoxAskedForByAWorkerIsShownOnTheUiThread)
{
    struct Recorder : ScriptedDialogs
    {
        QThread* shownOn = nullptr;
        int messageBox(const QString& text, const QString& caption, unsigned flags) override
        {
            shownOn = QThread::currentThread();
            return ScriptedDialogs::messageBox(text, caption, flags);
        }
    } dialogs;
    struct BoxFromWorker : WorkerThread
    {
        std::atomic<int> answer{0};
        void Execute() override { answer = MessageBox("from a worker", "", MB_YESNO); }
    } worker;
    dialogs.answerBox(IDYES);
    worker.FreeOnTerminate = false;
    worker.Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker.isFinished(); }, 5000));
    EXPECT_EQ(worker.answer.load(), IDYES);
    EXPECT_EQ(dialogs.shownOn, qApp->thread());
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
        {0x11, SB::Ok | SB::Cancel, QMessageBox::Critical, SB::Ok, SB::Cancel, IDCANCEL},
        {0x23, SB::Yes | SB::No | SB::Cancel, QMessageBox::Question, SB::Yes, SB::No, IDNO},
        {0x124, SB::Yes | SB::No, QMessageBox::Question, SB::No, SB::No, IDNO}, // second button is the default
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
