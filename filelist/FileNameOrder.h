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

private:
    QCollator m_collator;
};
