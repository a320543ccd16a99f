#include "gatewaysim/OutputQueue.h"

namespace gatewaysim {

OutputQueue::OutputQueue(GatewayState* state, Writer writer, QObject* parent)
    : QObject(parent), state_(state), writer_(std::move(writer))
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &OutputQueue::pump);
}

void OutputQueue::send(const QByteArray& bytes, int delayMs)
{
    if (bytes.isEmpty() && delayMs <= 0)
        return;
    items_.append(Item{bytes, delayMs, false});
    pump();
}

void OutputQueue::sendDrop()
{
    items_.append(Item{{}, 0, true});
    pump();
}

void OutputQueue::clear()
{
    items_.clear();
    timer_.stop();
}

void OutputQueue::pump()
{
    if (timer_.isActive())
        return; // a pause is running; its end pumps again
    while (!items_.isEmpty()) {
        Item& item = items_.first();
        if (item.delayMs > 0) {
            timer_.start(item.delayMs);
            item.delayMs = 0;
            return;
        }
        if (item.drop) {
            items_.clear();
            emit dropRequested(); // may delete this queue's owner: touch nothing after it
            return;
        }
        const Faults f = state_->faults();
        qsizetype piece = item.bytes.size();
        int pause = 0;
        if (f.trickleMs > 0) {
            piece = 1;
            pause = f.trickleMs;
        } else if (f.lineHeadBytes > 0 && (f.lineHeadLines <= 0 || item.linesSent < f.lineHeadLines)) {
            const qsizetype lf = item.bytes.indexOf('\n');
            const qsizetype lineRest = lf < 0 ? item.bytes.size() : lf + 1;
            piece = item.lineAt < f.lineHeadBytes ? qMin<qsizetype>(lineRest, f.lineHeadBytes - item.lineAt) : lineRest;
            pause = f.lineHeadPauseMs;
        } else if (f.chunkSize > 0) {
            piece = qMin<qsizetype>(f.chunkSize, item.bytes.size());
            pause = f.chunkDelayMs;
        }
        const qsizetype pauseAt = f.pauseAfter.isEmpty() ? -1 : item.bytes.indexOf(f.pauseAfter);
        if (pauseAt >= 0 && pauseAt < piece) {
            piece = pauseAt + f.pauseAfter.size();
            pause = f.pauseAfterMs;
        }
        const QByteArray out = item.bytes.left(piece);
        item.bytes.remove(0, piece);
        item.lineAt = out.endsWith('\n') ? 0 : item.lineAt + piece;
        item.linesSent += int(out.count('\n'));
        if (item.bytes.isEmpty())
            items_.removeFirst();
        if (!out.isEmpty())
            writer_(out);
        if (pause > 0 && !items_.isEmpty()) {
            timer_.start(pause);
            return;
        }
    }
}

} // namespace gatewaysim
