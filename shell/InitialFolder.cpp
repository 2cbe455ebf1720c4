#include "shell/InitialFolder.h"

#include "foundation/Log.h"
#include "foundation/String.h"
#include "foundation/VaultrixRegistry.h"

#include <QFile>
#include <QStandardPaths>

InitialFolder::InitialFolder(DriveTypeOf driveTypeOf)
    : m_driveTypeOf(std::move(driveTypeOf))
{
    if (!m_driveTypeOf)
        m_driveTypeOf = [](const std::string& path) { return platform::DriveTypes().typeOfPath(path); };
}

std::optional<QByteArray> InitialFolder::choose() const
{
    String stored;
    if (!VaultrixRegistry().getInitialFolder(stored))
        return std::nullopt;
    logDebug("Sheetcast_Run,2,InitialFolder %s", stored.getText());
    platform::DriveType drive = m_driveTypeOf(stored.getText());
    if (drive == platform::DriveType::Removable || drive == platform::DriveType::CdRom)
        return documentsFolder();
    return QByteArray(stored.getText());
}

QByteArray InitialFolder::documentsFolder()
{
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}
