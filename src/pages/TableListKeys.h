#pragma once
// Enter or Space in a table's list opens the selected row as Modify does; the key still reaches the list.
#include <QObject>
#include <functional>

class QTreeWidget;

class TableListKeys : public QObject
{
    Q_OBJECT
public:
    static void install(QTreeWidget* list, std::function<void()> modify);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TableListKeys(QObject* parent, std::function<void()> modify) : QObject(parent), modify_(std::move(modify)) {}
    std::function<void()> modify_;
};
