#include "pages/TableListKeys.h"

#include <QKeyEvent>
#include <QTreeWidget>

void TableListKeys::install(QTreeWidget* list, std::function<void()> modify)
{
    list->installEventFilter(new TableListKeys(list, std::move(modify)));
}

bool TableListKeys::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
            modify_();
    }
    return false;
}
