#include "filelist/CDropSource.h"

#include <QDrag>
#include <QMimeData>
#include <QWidget>

CDropSource::CDropSource(QWidget* dragSource)
    : m_dragSource(dragSource)
{
}

int32_t CDropSource::DoDragDrop(QMimeData* data, int32_t allowedEffects)
{
    // The drag deletes itself once the drop is done; a parent keeps it from outliving the list.
    auto* drag = new QDrag(m_dragSource);
    drag->setMimeData(data);
    return static_cast<int32_t>(drag->exec(Qt::DropActions(allowedEffects)));
}
