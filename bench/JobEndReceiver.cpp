#include "bench/JobEndReceiver.h"

#include "foundation/ThreadMessage.h"

#include <QCoreApplication>
#include <QEvent>

bool JobEndReceiver::event(QEvent* event)
{
    if (event->type() != static_cast<QEvent::Type>(WM_PUBLISHING_DONE))
        return QObject::event(event);
    QCoreApplication::quit();
    return true;
}
