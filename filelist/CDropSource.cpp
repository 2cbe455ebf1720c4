#include "filelist/CDropSource.h"

#include <QDrag>
#include <QMimeData>
#include <QWidget>

CDropSource::CDropSource(QWidget* dragSource)
    : m_dragSource(dragSource)
{
}

int32_t CDropSource::DoDragDrop(QMimeData* data, int32_t allowedEffects, std::function<void()> finished)
{
    // Qt deletes the drag once the target has finished with the drop; a parent keeps it from
    // outliving the list.
    auto* drag = new QDrag(m_dragSource);
    drag->setMimeData(data);
    QObject::connect(drag, &QObject::destroyed, m_dragSource, std::move(finished));
    return static_cast<int32_t>(drag->exec(Qt::DropActions(allowedEffects)));
}
