#include "bench/OwnStepTimer.h"

#include "bench/StepClock.h"
#include "bench/StepNames.h"
#include "classify/FileType.h"
#include "foundation/VaultrixRegistry.h"
#include "office/libreoffice/LibreOfficeInstallation.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "platform/FileInUse.h"
#include "platform/FileOperations.h"
#include "platform/ReadOnlyFile.h"
#include "publishing/BackupName.h"
#include "publishing/DocumentBackup.h"
#include "publishing/Leftovers.h"
#include "publishing/OfficeApplication.h"
#include "publishing/OfficeVersion.h"
#include "publishing/PublishFormat.h"

#include <cstring>
#include <optional>
#include <string_view>

namespace files = platform::fileOperations;

namespace {

std::string_view nameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

}

// Counts 0 start no office: the automation is only there because a session needs one.
OwnStepTimer::OwnStepTimer(std::shared_ptr<StepClock> clock)
    : m_clock(std::move(clock))
{
    // Named before the session starts, as the programs do: the registry scan finds no Office here.
    OfficeVersion::setInstalledOffice(std::make_shared<office::LibreOfficeInstallation>());
    m_session = std::make_unique<OfficeApplication>(std::make_unique<office::LibreOfficeAutomation>(), 0, 0, 0);
}

OwnStepTimer::~OwnStepTimer() = default;

// The steps of protect up to the backup, for a Word document and the PDF command. The output
// name's length test calls wordPublishFormat itself, since protect's helper for it is its own.
bool OwnStepTimer::checkAndBackUp(const std::string& path, DocumentBackup& backup)
{
    FileType fileType;
    const bool supported = m_clock->time(stepName::checks,
        [&] { return !BackupName::isBackup(nameOf(path)) && fileType.isOfficeFile(path.c_str()); });
    if (!supported || m_clock->time(stepName::leftoverSweep, [&] { return Leftovers::sweep(path); }) != 0)
        return false;
    std::optional<platform::ReadOnlyFile> document;
    const bool isOffice2007 = m_clock->time(stepName::checks, [&] {
        document.emplace(path);
        return fileType.isOffice2007File(path.c_str());
    });
    if (!document->isOpen())
        return false;
    // The session reads the macro security level once per job, protect the Word version once per
    // document; both are timed here for every document.
    const int32_t version = m_clock->time(stepName::settingsRead, [&] {
        VaultrixRegistry().getMacroSecurityLevel();
        return OfficeVersion().getWordVersion();
    });
    if (isOffice2007 && version < 12)
        return false;
    const bool usable = m_clock->time(stepName::checks, [&] {
        PublishFormat format;
        bool fits = fileType.isWordFile(path.c_str()) && wordPublishFormat(ID_PUBLISH_AS_PDF, format)
            && nameOf(path).size() + std::strlen(format.suffix) <= files::maxNameLength;
        return fits && !platform::isFileInUse(document->descriptor(), path);
    });
    if (!usable)
        return false;
    int copyError = 0;
    // protect closes the document once its backup is made.
    return m_clock->time(stepName::backupCopy, [&] {
        bool made = backup.create(*document, path, copyError);
        document.reset();
        return made;
    });
}

void OwnStepTimer::makeWritableAndBack(const std::string& path)
{
    m_clock->time(stepName::makeWritable, [&] {
        uint32_t attributes = 0;
        bool changed = false;
        m_session->setNormalFileAttribute(path.c_str(), attributes, changed);
        // Here the office publishes the document; then the mode goes back.
        int error = 0;
        if (changed)
            files::setMode(path, attributes, error);
    });
}

// protect's own helper for this is private: the same test for the backup and the same
// doDeleteFile.
bool OwnStepTimer::removeBackup(const std::string& backup)
{
    return m_clock->time(stepName::backupRemoval,
        [&] { return !files::exists(backup) || m_session->doDeleteFile(backup.c_str()) == 1; });
}

bool OwnStepTimer::timeDocument(const std::string& path)
{
    m_clock->beginDocument();
    auto backup = std::make_unique<DocumentBackup>();
    bool reachedOffice = checkAndBackUp(path, *backup);
    if (reachedOffice) {
        makeWritableAndBack(path);
        reachedOffice = removeBackup(backup->path());
    }
    // The backup lives until protect returns: giving its lock back is part of its removal.
    m_clock->time(stepName::backupRemoval, [&] { backup.reset(); });
    m_clock->endDocument();
    return reachedOffice;
}
