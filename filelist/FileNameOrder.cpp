#include "filelist/FileNameOrder.h"

FileNameOrder::FileNameOrder()
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

bool FileNameOrder::before(
    const QString& shownA, const QByteArray& a, const QString& shownB, const QByteArray& b) const
{
    int order = m_collator.compare(shownA, shownB);
    return order != 0 ? order < 0 : a < b;
}
