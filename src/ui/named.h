#pragma once

#include <QObject>
#include <QString>

// Gives a control the name the window is driven and inspected by, where
// it is made: `auto *b = named(new QPushButton(parent), "cmdOk");`.
template <typename W>
W *named(W *w, const QString &name)
{
    w->setObjectName(name);
    return w;
}

template <typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
