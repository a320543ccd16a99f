// A serial port that goes away under a live tool's reader (the far end of the line closed): the reader stops
// reading instead of spinning, and the tool ends its run through its own stop, which tells the user (text 56).
#include "online/LiveToolFixture.h"
#include "support/PtyPair.h"

#include "link/LinkIo.h"
#include "online/Terminal.h"
#include "online/Tracing.h"
#include "online/ui/TerminalPart.h"
#include "online/ui/TracingPage.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

// The far end of the line: answers every line the program ends with CR by OK, and sends what the test asks.
class OkPeer
{
public:
    explicit OkPeer(const QString& path) : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY))
    {
        thread_ = std::thread([this] { run(); });
    }
    ~OkPeer()
    {
        stop_ = true;
        thread_.join();
        if (fd_ >= 0)
            ::close(fd_);
    }
    void send(const char* text) { [[maybe_unused]] const ssize_t n = ::write(fd_, text, std::strlen(text)); }

private:
    void run()
    {
        while (!stop_ && fd_ >= 0) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = (p.revents & POLLIN) ? ::read(fd_, buffer, sizeof buffer) : -1;
            if (n <= 0)
                return; // the line is gone
            for (ssize_t i = 0; i < n; ++i)
                if (buffer[i] == '\r')
                    send("\r\nOK\r\n");
        }
    }

    int fd_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class PortLossTest : public LiveToolTest
{
protected:
    // The program on one end of pair, its link opened by hand: the far end is no gateway that logs in.
    void connectTo(const PtyPair& pair)
    {
        startProgram("commtype=1\n");
        auto port = std::make_shared<ComPort>();
        ASSERT_TRUE(port->open(pair.pathA())) << qPrintable(port->errorString());
        port->setTimeouts(kNormalTimeouts);
        CurrentConnection.LinkType = LinkSerial;
        CurrentConnection.Handle = port;
        CurrentConnection.Connected = true;
    }
};

TEST_F(PortLossTest, TheReaderStopsReadingAndTheToolsStopEndsTheRunWithText56)
{
    for (const bool tracing : {true, false}) {
        SCOPED_TRACE(tracing ? "tracing" : "terminal");
        PtyPair pair;
        ASSERT_TRUE(pair.isReady()) << qPrintable(pair.errorString());
        ASSERT_NO_FATAL_FAILURE(connectTo(pair));
        OkPeer peer(pair.pathB());
        QPlainTextEdit* view = tracing ? fMain->mTracing : static_cast<QPlainTextEdit*>(fMain->mTerminal);
        if (tracing) {
            fMain->selectTopic(20);
            fMain->edTracFile->setText(path(QStringLiteral("trace.txt")));
            fMain->sbTracStart->click();
        } else {
            fMain->selectTopic(21);
        }
        QPointer<LiveWorker> reader = tracing ? static_cast<LiveWorker*>(tracingThread.data()) : terminalThread.data();
        ASSERT_TRUE(reader) << qPrintable(dialogs().boxTexts().join('|'));
        peer.send("1 TRACE\r\n2 TRACE\r\n");
        ASSERT_TRUE(waitUntil([&] { return view->toPlainText().contains(QStringLiteral("2 TRACE")); }));

        pair.unplug();
        EXPECT_TRUE(waitUntil([&] { return !reader || reader->isFinished(); })) << "the reader kept on reading";
        EXPECT_FALSE(tracingThread);
        EXPECT_FALSE(terminalThread);
        EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(56)});
        if (tracing) {
            EXPECT_EQ(fMain->sbTracStart->text(), labelText(152));
            EXPECT_TRUE(fMain->tbLoadGate->isEnabled());
            EXPECT_EQ(::traceFile, nullptr);
        }
        TearDown();
        SetUp();
    }
}

} // namespace
