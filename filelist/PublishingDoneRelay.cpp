#include "filelist/PublishingDoneRelay.h"

#include "filelist/FileListView.h"
#include "foundation/ThreadMessage.h"

#include <QCoreApplication>
#include <QEvent>

PublishingDoneRelay::PublishingDoneRelay(FileListView* list)
    : m_list(list)
{
}

bool PublishingDoneRelay::event(QEvent* event)
{
    if (event->type() != static_cast<QEvent::Type>(WM_PUBLISHING_DONE))
        return QObject::event(event);
    if (m_list)
        QCoreApplication::sendEvent(m_list, event);
    deleteLater();
    return true;
}
