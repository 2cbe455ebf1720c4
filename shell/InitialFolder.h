#pragma once

#include "platform/DriveTypes.h"

#include <QByteArray>

#include <functional>
#include <optional>
#include <string>

// The folder the main window opens at: the one it showed when it last closed ("InitialFolder"
// of the settings), unless that lies on a removable or CD-ROM drive, whose medium may be gone
// or another by now: then the user's documents folder. Nothing when no folder was stored.
class InitialFolder {
public:
    using DriveTypeOf = std::function<platform::DriveType(const std::string& path)>;

    // driveTypeOf tells where a folder lies (the system's drive types unless given).
    explicit InitialFolder(DriveTypeOf driveTypeOf = {});

    std::optional<QByteArray> choose() const;

    // The user's documents folder (XDG_DOCUMENTS_DIR).
    static QByteArray documentsFolder();

private:
    DriveTypeOf m_driveTypeOf;
};
