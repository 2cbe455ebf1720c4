#include "classify/CompoundFile.h"

#include "classify/IssuanceLicense.h"
#include "classify/StorageNames.h"
#include "foundation/Exception.h"
#include "foundation/Guid.h"
#include "foundation/Log.h"
#include "platform/CodePageConverter.h"
#include "platform/CompoundFileStorage.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr size_t LicenceHeaderSize = 176;
// No issuance licence comes near this; a larger stream is a damaged or hostile file.
constexpr uint64_t MaxLicenceStreamSize = 16 << 20;
constexpr size_t MaxTemporaryPathLength = 1023;
constexpr size_t MaxProfileFolderLength = 1024;

std::string fileNameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The extension with its period, taken from the file name only: a period in a folder's name
// is no extension.
std::string extensionOf(const std::string& path)
{
    std::string name = fileNameOf(path);
    size_t period = name.rfind('.');
    return period == std::string::npos ? std::string() : name.substr(period);
}

// Copies without ever replacing a file that is already there.
bool copyFile(const std::string& from, const std::string& to)
{
    if (to.size() > MaxTemporaryPathLength)
        return false;
    std::error_code error;
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::none, error) && !error;
}

std::string profileFolder()
{
    const char* home = std::getenv("HOME");
    if (!home || !*home || std::strlen(home) > MaxProfileFolderLength)
        return std::string();
    return home;
}

}

CompoundFile::CompoundFile() = default;

CompoundFile::~CompoundFile()
{
    close();
}

bool CompoundFile::open(const char* path)
{
    close();
    if (!path)
        return false;
    m_path.assign(path);
    if (platform::CompoundFileStorage::check(path) == platform::StorageFileCheck::Failed) {
        logError("CompoundFile#open,2,This is not a storage file %s", path);
        return false;
    }
    platform::StorageOpenFailure failure;
    storageRoot = platform::CompoundFileStorage::open(path, &failure);
    if (storageRoot)
        return true;

    logError("CompoundFile#open,3,Failed to open a storage %s", path);
    // Only another program's hold on the document is worked around by copying it; a file that
    // is no compound file would fail the same way as a copy.
    if (failure != platform::StorageOpenFailure::InUse)
        return false;
    String guid;
    if (!Guid().create(guid))
        return false;
    return openCopy(guid);
}

bool CompoundFile::openCopy(const String& guid)
{
    std::string path = m_path.getText();
    std::string suffix = std::string(".") + guid.getText() + extensionOf(path) + ".~nimbrel";
    std::string copy = path + suffix;
    if (!copyFile(path, copy)) {
        logError("CompoundFile#open,6,Failed to copy a file %s to %s", path.c_str(), copy.c_str());
        std::string folder = profileFolder();
        copy = folder + "/" + fileNameOf(path) + suffix;
        if (folder.empty() || !copyFile(path, copy)) {
            logError("CompoundFile#open,6,Failed to copy a file %s to %s", path.c_str(), copy.c_str());
            return false;
        }
    }
    m_temporaryPath.assign(copy.c_str());
    storageRoot = platform::CompoundFileStorage::open(copy);
    if (!storageRoot) {
        deleteCopy();
        return false;
    }
    return true;
}

void CompoundFile::deleteCopy()
{
    if (m_temporaryPath.isNull() || m_temporaryPath.getLength() == 0)
        return;
    std::error_code error;
    if (std::filesystem::is_regular_file(m_temporaryPath.getText(), error))
        std::filesystem::remove(m_temporaryPath.getText(), error);
    m_temporaryPath.assign("");
}

void CompoundFile::close()
{
    storageRoot.reset();
    deleteCopy();
}

bool CompoundFile::getIssuanceLicense(IssuanceLicense& licence)
{
    if (!storageRoot) {
        logError("CompoundFile#getIssuanceLicense,2,storageRoot is NULL");
        return false;
    }
    try {
        return readLicence(licence);
    } catch (const Exception& exception) {
        logError("CompoundFile#getIssuanceLicense,9,Exception:%s", exception.getMessage());
    } catch (const std::exception&) {
        logError("CompoundFile#getIssuanceLicense,10,Exception");
    } catch (...) {
        logError("CompoundFile#getIssuanceLicense,11,Exception");
    }
    return false;
}

bool CompoundFile::readLicence(IssuanceLicense& licence)
{
    auto dataSpaces = storageRoot->openStorage(StorageNames::DataSpaces);
    if (!dataSpaces)
        return false;
    auto transformInfo = dataSpaces->openStorage(StorageNames::TransformInfo);
    if (!transformInfo)
        return false;
    const char* transformName = StorageNames::transformStorageFor(m_path.getText());
    auto transform = transformInfo->openStorage(transformName);
    if (!transform) {
        logError("CompoundFile#getIssuanceLicense,8,Failed to open a storage %s", transformName);
        return false;
    }
    auto primary = transform->openStream(StorageNames::Primary);
    if (!primary) {
        logError("CompoundFile#getIssuanceLicense,7,Failed to open a stream %s", StorageNames::Primary);
        return false;
    }

    uint64_t size = primary->size();
    if (size <= LicenceHeaderSize || size > storageRoot->fileSize() || size > MaxLicenceStreamSize)
        return false;
    // One byte more than the stream, so that the licence text always ends inside the buffer.
    std::vector<char> stream(static_cast<size_t>(size) + 1, '\0');
    primary->readAt(0, stream.data(), static_cast<size_t>(size));

    const char* text = stream.data() + LicenceHeaderSize;
    size_t length = std::strlen(text);
    platform::CodePageConverter converter;
    if (!converter.initialise("UTF-8", platform::narrowCodePage()))
        return false;
    std::vector<char> converted(length * 3 + 3, '\0');
    size_t written = 0;
    if (!converter.convert(text, length + 1, converted.data(), converted.size(), written))
        return false;
    converted.back() = '\0';

    // What follows the licence's closing tag is not part of it.
    static constexpr const char ClosingTag[] = "</XrML>";
    if (char* end = std::strstr(converted.data(), ClosingTag))
        end[sizeof(ClosingTag) - 1] = '\0';
    licence.load(converted.data());
    return true;
}
