#pragma once
// The longest stretch in which the window's thread handled no events, measured by a timer that ticks every
// stepMs from construction on.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

class FreezeMeter
{
public:
    explicit FreezeMeter(int stepMs)
    {
        clock_.start();
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, clock_.elapsed() - last_);
            last_ = clock_.elapsed();
        });
        tick_.start(stepMs);
    }
    void stop() { tick_.stop(); }
    qint64 longestMs() const { return longest_; }

private:
    QElapsedTimer clock_;
    QTimer tick_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};
