#include "filelist/PublishingDoneRelay.h"

#include "filelist/FileListView.h"
#include "foundation/ThreadMessage.h"

#include <QCoreApplication>
#include <QEvent>

PublishingDoneRelay::PublishingDoneRelay(FileListView* list)
    : QWidget(list)
    , m_list(list)
{
    // Hidden for good: showing the list must not show it.
    hide();
}

void PublishingDoneRelay::releaseAll(FileListView* list)
{
    for (auto* relay : list->findChildren<PublishingDoneRelay*>(Qt::FindDirectChildrenOnly))
        relay->setParent(nullptr);
}

bool PublishingDoneRelay::event(QEvent* event)
{
    if (event->type() != static_cast<QEvent::Type>(WM_PUBLISHING_DONE))
        return QWidget::event(event);
    if (m_list)
        QCoreApplication::sendEvent(m_list, event);
    deleteLater();
    return true;
}
