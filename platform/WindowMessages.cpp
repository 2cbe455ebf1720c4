#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace platform {

void postWindowMessage(void* window, uint32_t message)
{
    if (!window)
        return;
    // postEvent is safe from any thread and hands the event to the window's own thread.
    QCoreApplication::postEvent(
        static_cast<QObject*>(window), new QEvent(static_cast<QEvent::Type>(message)));
}

}
