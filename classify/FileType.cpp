#include "classify/FileType.h"

#include "foundation/Log.h"
#include "platform/FileOperations.h"
#include "platform/ReadOnlyFile.h"

#include <cstring>
#include <initializer_list>

namespace {

// The tables, in the order in which the program has always tested them.
constexpr std::initializer_list<const char*> WordSuffixes = { ".doc", ".docx", ".docm" };
constexpr std::initializer_list<const char*> PowerPointSuffixes
    = { ".ppt", ".pps", ".pptx", ".pptm", ".ppsx", ".ppsm" };
constexpr std::initializer_list<const char*> ExcelSuffixes = { ".xls", ".xlsb", ".xlsx", ".xlsm" };
constexpr std::initializer_list<const char*> OfficeSuffixes = { ".doc", ".docx", ".docm", ".ppt", ".pps",
    ".pptx", ".pptm", ".ppsx", ".ppsm", ".xls", ".xlsb", ".xlsx", ".xlsm" };
constexpr std::initializer_list<const char*> DocumentSuffixes = { ".doc", ".docx", ".docm", ".ppt", ".pps",
    ".pptx", ".pptm", ".ppsx", ".ppsm", ".xls", ".xlsb", ".xlsx", ".xlsm", ".xps" };
constexpr std::initializer_list<const char*> Office2003Suffixes = { ".doc", ".ppt", ".pps", ".xls" };
constexpr std::initializer_list<const char*> Office2007Suffixes
    = { ".docx", ".docm", ".pptx", ".pptm", ".ppsx", ".ppsm", ".xlsb", ".xlsx", ".xlsm" };
constexpr std::initializer_list<const char*> PackageSuffixes
    = { ".docx", ".docm", ".pptx", ".pptm", ".ppsx", ".ppsm", ".xlsb", ".xlsx", ".xlsm", ".xps" };
constexpr std::initializer_list<const char*> XpsSuffixes = { ".xps" };

char foldCase(char character)
{
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
}

bool endsWithAny(const char* path, std::initializer_list<const char*> suffixes)
{
    if (!path)
        return false;
    for (const char* suffix : suffixes) {
        if (endsWith(path, suffix))
            return true;
    }
    return false;
}

}

bool endsWith(const char* name, const char* suffix)
{
    if (!name || !suffix)
        return false;
    size_t nameLength = std::strlen(name);
    size_t suffixLength = std::strlen(suffix);
    if (suffixLength > nameLength)
        return false;
    const char* tail = name + nameLength - suffixLength;
    for (size_t i = 0; i < suffixLength; ++i) {
        if (foldCase(tail[i]) != foldCase(suffix[i]))
            return false;
    }
    return true;
}

bool startsWith(const void* data, const void* prefix, size_t length)
{
    return std::memcmp(data, prefix, length) == 0;
}

bool FileType::isWordFile(const char* path) const
{
    return endsWithAny(path, WordSuffixes);
}

bool FileType::isPowerPointFile(const char* path) const
{
    return endsWithAny(path, PowerPointSuffixes);
}

bool FileType::isExcelFile(const char* path) const
{
    return endsWithAny(path, ExcelSuffixes);
}

bool FileType::isOfficeFile(const char* path) const
{
    return endsWithAny(path, OfficeSuffixes);
}

bool FileType::isDocumentFile(const char* path) const
{
    return endsWithAny(path, DocumentSuffixes);
}

bool FileType::isOffice2003File(const char* path) const
{
    return endsWithAny(path, Office2003Suffixes);
}

bool FileType::isOffice2007File(const char* path) const
{
    return endsWithAny(path, Office2007Suffixes);
}

bool FileType::isPackageFile(const char* path) const
{
    return endsWithAny(path, PackageSuffixes);
}

bool FileType::isXpsFile(const char* path) const
{
    return endsWithAny(path, XpsSuffixes);
}

bool FileType::isZipFile(const char* path) const
{
    if (!path)
        return false;
    bool extension = isPackageFile(path);
    if (!extension) {
        if (platform::fileOperations::exists(path))
            logDebug("FileType#isZipFile,1,filename=%s extension=%d", path, 0);
        return false;
    }
    // Opening first spares the separate look at the attributes for every file that opens; a
    // file that does not open is looked at only to tell whether it exists.
    platform::ReadOnlyFile file(path);
    if (!file.isOpen()) {
        if (platform::fileOperations::exists(path))
            logDebug("FileType#isZipFile,1,filename=%s extension=%d", path, 1);
        return false;
    }
    logDebug("FileType#isZipFile,1,filename=%s extension=%d", path, 1);
    unsigned char head[sizeof(ZIP_PACKAGE_SIGNATURE)];
    if (file.readAt(0, head, sizeof(head)) != sizeof(head))
        return false;
    logDebug("FileType#isZipFile,2,call startsWith");
    return startsWith(head, ZIP_PACKAGE_SIGNATURE, sizeof(ZIP_PACKAGE_SIGNATURE));
}
