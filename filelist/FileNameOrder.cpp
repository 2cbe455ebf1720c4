#include "filelist/FileNameOrder.h"

#include <QLocale>

// The user's collation; the C locale's compares code points and knows no numbers, so there
// English stands in.
FileNameOrder::FileNameOrder()
    : m_collator(QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(true);
}

bool FileNameOrder::before(
    const QString& shownA, const QByteArray& a, const QString& shownB, const QByteArray& b) const
{
    int order = m_collator.compare(shownA, shownB);
    return order != 0 ? order < 0 : a < b;
}
