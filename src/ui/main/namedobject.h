#pragma once

#include <QObject>
#include <QString>

// Gives a new object the name by which language files and tests find it,
// and hands it back, so that creating and naming stay one expression.
template <typename T>
T *named(T *object, const char *name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}
