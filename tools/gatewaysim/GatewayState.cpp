#include "gatewaysim/GatewayState.h"

#include "gatewaysim/Tables.h"

#include <QMutexLocker>
#include <QSet>
#include <algorithm>
#include <atomic>

namespace gatewaysim {

namespace {

// A key is the tail of a longer key when the longer one ends with it ("A1" in "XA1"), or starts with the same
// letter and ends with the rest of it ("G91" in "G191", "G99" in "G199").
bool isTailOf(const QByteArray& shorter, const QByteArray& longer)
{
    if (shorter.isEmpty() || shorter.size() >= longer.size())
        return false;
    return longer.endsWith(shorter) || (longer[0] == shorter[0] && longer.endsWith(shorter.mid(1)));
}

// The program looks a key up by its first occurrence in a listing and relies on the gateway listing a key that
// is the tail of another before that other one; the rest keeps the fixture's order.
void appendWithTailsFirst(const QList<const Parameter*>& keys, int index, QSet<int>& done, QList<const Parameter*>& out)
{
    if (done.contains(index))
        return;
    done.insert(index);
    const QByteArray& key = keys[index]->key;
    for (int j = 0; j < keys.size(); ++j) {
        if (j != index && isTailOf(keys[j]->key, key))
            appendWithTailsFirst(keys, j, done, out);
    }
    out.append(keys[index]);
}

std::atomic<quint64> nextSerial{1};

} // namespace

GatewayState::GatewayState(const Config& config, const Fixture& fixture)
    : config_(config), serial_(nextSerial.fetch_add(1)),
      pageSize_(config.pageSize > 0 ? config.pageSize : fixture.pageSize), views_(standardViews()),
      pagedViews_(fixture.pagedViews), tableViews_(fixture.tableViews), listingTitles_(fixture.listingTitles),
      faults_(config.faults), parameters_(fixture.parameters)
{
    for (const Parameter& p : parameters_) {
        for (const QByteArray& v : p.views) {
            if (!views_.contains(v))
                views_.append(v);
        }
    }
    for (const QByteArray& v : pagedViews_) {
        if (!views_.contains(v))
            views_.append(v);
    }
}

Faults GatewayState::faults() const
{
    QMutexLocker lock(&mutex_);
    return faults_;
}

void GatewayState::setFaults(const Faults& f)
{
    QMutexLocker lock(&mutex_);
    faults_ = f;
}

bool GatewayState::isView(const QByteArray& command) const
{
    return views_.contains(command);
}

bool GatewayState::isPaged(const QByteArray& view) const
{
    return pagedViews_.contains(view);
}

QList<QByteArray> GatewayState::listing(const QByteArray& view) const
{
    QMutexLocker lock(&mutex_);
    QList<const Parameter*> keys;
    for (const Parameter& p : parameters_) {
        if (p.views.contains(view))
            keys.append(&p);
    }
    if (tableViews_.contains(view))
        return tableListing(view, keys, listingTitles_.value(view));
    QSet<int> done;
    QList<const Parameter*> ordered;
    for (int i = 0; i < keys.size(); ++i)
        appendWithTailsFirst(keys, i, done, ordered);
    if (faults_.swapKeyOrder)
        std::reverse(ordered.begin(), ordered.end());

    QList<QByteArray> lines;
    for (const Parameter* p : ordered)
        lines.append(p->key + '=' + p->value);
    return lines;
}

int GatewayState::indexOf(const QByteArray& key) const
{
    for (int i = 0; i < parameters_.size(); ++i) {
        if (parameters_[i].key == key)
            return i;
    }
    return -1;
}

GatewayState::SetResult GatewayState::setChecked(const QByteArray& key, const QByteArray& value)
{
    QMutexLocker lock(&mutex_);
    int i = indexOf(key);
    if (i < 0)
        i = indexOf(tableRegister(key));
    if (i < 0)
        return SetResult::UnknownKey;
    if (!parameters_[i].shape.match(QString::fromLatin1(value)).hasMatch() || !valueMeaningful(key, value))
        return SetResult::BadShape;
    parameters_[i].value = value;
    return SetResult::Ok;
}

bool GatewayState::hasKey(const QByteArray& key) const
{
    QMutexLocker lock(&mutex_);
    return indexOf(key) >= 0;
}

QByteArray GatewayState::value(const QByteArray& key) const
{
    QMutexLocker lock(&mutex_);
    const int i = indexOf(key);
    return i < 0 ? QByteArray() : parameters_[i].value;
}

bool GatewayState::setValue(const QByteArray& key, const QByteArray& value)
{
    QMutexLocker lock(&mutex_);
    const int i = indexOf(key);
    if (i < 0)
        return false;
    parameters_[i].value = value;
    return true;
}

bool GatewayState::removeKey(const QByteArray& key)
{
    QMutexLocker lock(&mutex_);
    const int i = indexOf(key);
    if (i < 0)
        return false;
    parameters_.removeAt(i);
    return true;
}

QByteArray GatewayState::voiceMessage(int n) const
{
    QMutexLocker lock(&mutex_);
    return voice_.value(n);
}

void GatewayState::setVoiceMessage(int n, const QByteArray& bytes)
{
    QMutexLocker lock(&mutex_);
    voice_.insert(n, bytes);
}

void GatewayState::logLine(const QByteArray& raw)
{
    int index;
    {
        QMutexLocker lock(&mutex_);
        lines_.append(raw);
        bytes_.append(raw);
        index = int(lines_.size()) - 1;
    }
    notify(index, raw);
}

void GatewayState::logTail(char c)
{
    int index;
    QByteArray raw;
    {
        QMutexLocker lock(&mutex_);
        if (lines_.isEmpty())
            return; // its line was cleared from the log
        bytes_.append(c);
        lines_.last().append(c);
        index = int(lines_.size()) - 1;
        raw = lines_.last();
    }
    notify(index, raw);
}

void GatewayState::notify(int index, const QByteArray& raw)
{
    std::function<void(int, const QByteArray&)> observer;
    {
        QMutexLocker lock(&mutex_);
        observer = observer_;
    }
    if (observer)
        observer(index, raw);
}

QList<QByteArray> GatewayState::lines() const
{
    QMutexLocker lock(&mutex_);
    return lines_;
}

QByteArray GatewayState::bytes() const
{
    QMutexLocker lock(&mutex_);
    return bytes_;
}

void GatewayState::clearLog()
{
    QMutexLocker lock(&mutex_);
    lines_.clear();
    bytes_.clear();
    linesWhileSending_.clear();
}

void GatewayState::noteLineWhileSending(const QByteArray& raw)
{
    QMutexLocker lock(&mutex_);
    linesWhileSending_.append(raw);
}

QList<QByteArray> GatewayState::linesWhileSending() const
{
    QMutexLocker lock(&mutex_);
    return linesWhileSending_;
}

void GatewayState::setLineObserver(std::function<void(int, const QByteArray&)> observer)
{
    QMutexLocker lock(&mutex_);
    observer_ = std::move(observer);
}

void GatewayState::noteConnection()
{
    QMutexLocker lock(&mutex_);
    ++connections_;
}

void GatewayState::noteLogin()
{
    QMutexLocker lock(&mutex_);
    ++logins_;
}

void GatewayState::setTerminalType(const QString& type)
{
    QMutexLocker lock(&mutex_);
    terminalType_ = type;
}

void GatewayState::setModemInCall(bool inCall)
{
    QMutexLocker lock(&mutex_);
    modemInCall_ = inCall;
}

int GatewayState::connectionCount() const
{
    QMutexLocker lock(&mutex_);
    return connections_;
}

int GatewayState::loginCount() const
{
    QMutexLocker lock(&mutex_);
    return logins_;
}

QString GatewayState::terminalType() const
{
    QMutexLocker lock(&mutex_);
    return terminalType_;
}

bool GatewayState::modemInCall() const
{
    QMutexLocker lock(&mutex_);
    return modemInCall_;
}

} // namespace gatewaysim
