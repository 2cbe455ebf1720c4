#include "DragEventCounter.h"

#include <QEvent>

bool DragEventCounter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
        ++m_entered;
        break;
    case QEvent::DragMove:
        ++m_moved;
        break;
    case QEvent::Drop:
        ++m_dropped;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
