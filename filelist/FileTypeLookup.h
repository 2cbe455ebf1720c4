#pragma once

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

// The desktop's name and small icon for a file's type, derived from the file's name alone, as a
// file manager shows them. The answers are kept per type for the lookup's life, because a folder
// holds many files of few types and asking the icon theme costs far more than a name test.
class FileTypeLookup {
public:
    struct FileTypeInfo {
        QString typeName;
        // Null when the icon theme has no icon for the type.
        QIcon icon;
    };

    FileTypeLookup();

    // The type of the file named fileName (without folder); the file itself is never read.
    FileTypeInfo lookUp(const QString& fileName);

private:
    static QIcon iconOf(const QMimeType& type);
    static void useInstalledIconThemes();

    QMimeDatabase m_database;
    QHash<QString, FileTypeInfo> m_byType;
};
