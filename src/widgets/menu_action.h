#pragma once
// A menu item found by its object name, as tests and log readers know it.

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace spinlog {

// Adds an item named `name` with its caption and shortcut; a held shortcut
// key is one press, its repeats trigger nothing.
template <typename Handler>
QAction *addMenuAction(QMenu *menu, const char *name, const QString &caption,
                       const QKeySequence &key, QObject *receiver, Handler handler)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    action->setAutoRepeat(false);
    QObject::connect(action, &QAction::triggered, receiver, handler);
    return action;
}

}  // namespace spinlog
