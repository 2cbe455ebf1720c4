#pragma once

#include <QByteArray>
#include <QCollator>
#include <QString>

// The order of names wherever the program lists them, the file list and the folder tree alike:
// names as they are shown, without regard to case and with numbers by their value ("report2.doc"
// before "report10.doc"), in the user's language; names that compare equal so (such as "a.doc"
// and "A.doc") are ordered by their bytes, so that the order never depends on the order of
// insertion.
class FileNameOrder {
public:
    FileNameOrder();

    // True when the name shown as shownA with the bytes a comes before the other.
    bool before(const QString& shownA, const QByteArray& a, const QString& shownB, const QByteArray& b) const;

    // The same order through keys made once per name, for ordering many names: comparing two
    // keys costs a comparison of bytes rather than a collation.
    QCollatorSortKey sortKey(const QString& shown) const { return m_collator.sortKey(shown); }
    static bool before(
        const QCollatorSortKey& keyA, const QByteArray& a, const QCollatorSortKey& keyB, const QByteArray& b)
    {
        int order = keyA.compare(keyB);
        return order != 0 ? order < 0 : a < b;
    }

private:
    QCollator m_collator;
};
