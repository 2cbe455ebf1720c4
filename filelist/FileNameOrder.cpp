#include "filelist/FileNameOrder.h"

#include <QLocale>

namespace {

// The user's collation. The C locale's compares code points and knows no numbers, so there
// English stands in.
QLocale collationLocale()
{
    QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English) : locale;
}

}

FileNameOrder::FileNameOrder()
    : m_collator(collationLocale())
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
