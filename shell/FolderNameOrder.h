#pragma once

#include <QByteArray>
#include <QCollator>
#include <QString>

// The order of a folder's sub-folders in the tree: names as they are shown, without regard to
// case and with numbers by their value ("folder2" before "folder10"); names that compare equal
// so are ordered by their bytes, so that the order never depends on the order of insertion.
class FolderNameOrder {
public:
    FolderNameOrder();

    // True when the name shown as shownA with the bytes a comes before the other.
    bool before(const QString& shownA, const QByteArray& a, const QString& shownB, const QByteArray& b) const;

private:
    QCollator m_collator;
};
