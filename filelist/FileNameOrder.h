#pragma once

#include <QByteArray>
#include <QCollator>
#include <QString>

// The order of the file list: names as they are shown, compared without regard to case in the
// user's language; names that compare equal so (such as "a.doc" and "A.doc") are ordered by
// their bytes, so that the order never depends on the order of insertion.
class FileNameOrder {
public:
    FileNameOrder();

    // True when the name shown as shownA with the bytes a comes before the other.
    bool before(const QString& shownA, const QByteArray& a, const QString& shownB, const QByteArray& b) const;

private:
    QCollator m_collator;
};
