#include "classify/EncryptedFileFinder.h"

#include "classify/FileType.h"
#include "classify/OfficeDocument.h"
#include "classify/PDFFile.h"
#include "classify/PasswordEncryption.h"
#include "classify/ZipFile.h"

#include "foundation/OutOfMemoryException.h"
#include "platform/CompoundFileStorage.h"

#include <memory>
#include <span>
#include <utility>

namespace {

bool endsWithAny(const char* path, std::span<const char* const> suffixes)
{
    for (const char* suffix : suffixes) {
        if (endsWith(path, suffix))
            return true;
    }
    return false;
}

}

EncryptedFileFinder::EncryptedFileFinder(TraceSink trace)
    : m_trace(std::move(trace))
{
}

bool EncryptedFileFinder::testOfficeDocument(const char* path, ProtectionKind& kind)
{
    // A real zip package is neither rights-protected nor password-encrypted: both protections
    // turn a package into a compound file. Otherwise the document is opened once for both
    // tests, which answer as if each had opened it.
    if (FileType().isZipFile(path))
        return false;
    platform::StorageOpenFailure failure = platform::StorageOpenFailure::None;
    std::unique_ptr<platform::CompoundFileStorage> root = platform::CompoundFileStorage::open(path, &failure);
    bool isProtected = false;
    if (OfficeDocument::IsIRMProtected(path, root.get(), failure) == 1) {
        isProtected = true;
        kind = PROTECTION_IRM;
    }
    if (isPasswordEncrypted(path, root.get())) {
        isProtected = true;
        kind = PROTECTION_PASSWORD;
    }
    return isProtected;
}

bool EncryptedFileFinder::testPdfFile(const char* path, ProtectionKind& kind)
{
    PDFFile file(path);
    if (!file.isEncrypted())
        return false;
    kind = PROTECTION_PASSWORD;
    return true;
}

bool EncryptedFileFinder::testZipFile(const char* path, ProtectionKind& kind)
{
    ZipFile archive;
    if (archive.open(path) != 0)
        return false;
    archive.scan();
    if (!archive.isEncrypted())
        return false;
    kind = PROTECTION_PASSWORD;
    return true;
}

bool EncryptedFileFinder::runGuarded(
    ProtectionTest test, const char* path, ProtectionKind& kind, int& failures) const
{
    try {
        return test(path, kind);
    } catch (const OutOfMemoryException&) {
        // Running out of memory says nothing about the file; the caller has to hear of it.
        throw;
    } catch (...) {
        ++failures;
        m_trace.line("Access error:%d %s\n", failures, path);
    }
    return false;
}

bool EncryptedFileFinder::isEncryptedFile(const char* path, ProtectionKind& kind)
{
    static constexpr const char* wordSuffixes[] = { ".doc", ".docm", ".docx" };
    static constexpr const char* excelSuffixes[] = { ".xls", ".xlsm", ".xlsx", ".xlsb" };
    static constexpr const char* powerPointSuffixes[]
        = { ".ppt", ".pps", ".pptm", ".pptx", ".ppsx", ".ppsm" };
    static constexpr const char* xpsSuffixes[] = { ".xps" };
    static constexpr const char* pdfSuffixes[] = { ".pdf" };
    static constexpr const char* zipSuffixes[] = { ".zip" };
    struct Row {
        std::span<const char* const> suffixes;
        ProtectionTest test;
    };
    static constexpr Row rows[] = {
        { wordSuffixes, testOfficeDocument },
        { excelSuffixes, testOfficeDocument },
        { powerPointSuffixes, testOfficeDocument },
        { xpsSuffixes, testOfficeDocument },
        { pdfSuffixes, testPdfFile },
        { zipSuffixes, testZipFile },
    };

    if (!path)
        return false;
    // The suffix sets are disjoint, so at most one test applies. A file that cannot be read
    // leaves a trace and counts as unprotected.
    int failures = 0;
    bool isProtected = false;
    for (const Row& row : rows) {
        if (endsWithAny(path, row.suffixes))
            isProtected = runGuarded(row.test, path, kind, failures) || isProtected;
    }
    return isProtected;
}
