#pragma once
// Sends a session's output to the line, shaped by the faults: a delay before a reply, pieces with pauses,
// a trickle of single bytes, a pause after given bytes, and the drop of the connection after a given reply. Runs on the
// simulator's thread with a timer; nothing here blocks.
#include "gatewaysim/GatewayState.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>

namespace gatewaysim {

class OutputQueue : public QObject
{
    Q_OBJECT
public:
    using Writer = std::function<void(const QByteArray&)>;

    OutputQueue(GatewayState* state, Writer writer, QObject* parent = nullptr);

    // Queues bytes; they go out after delayMs (counted from when everything before them has gone out).
    void send(const QByteArray& bytes, int delayMs = 0);
    // Queues the drop of the connection: dropRequested() is emitted once everything before it has gone out.
    void sendDrop();
    void clear();
    bool idle() const { return items_.isEmpty(); }

signals:
    void dropRequested();

private:
    struct Item
    {
        QByteArray bytes;
        int delayMs = 0;
        bool drop = false;
        qsizetype lineAt = 0; // characters of the current line already sent (the fault "line head")
        int linesSent = 0;
    };
    void pump();

    GatewayState* state_;
    Writer writer_;
    QList<Item> items_;
    QTimer timer_;
};

} // namespace gatewaysim
