#include "classify/EncryptedFileFinder.h"

#include "classify/FileType.h"
#include "classify/OfficeDocument.h"
#include "classify/PDFFile.h"
#include "classify/PasswordEncryption.h"
#include "classify/ZipFile.h"

#include "platform/CompoundFileStorage.h"

#include <cstdio>
#include <initializer_list>
#include <memory>

namespace {

bool endsWithAny(const char* path, std::initializer_list<const char*> suffixes)
{
    for (const char* suffix : suffixes) {
        if (endsWith(path, suffix))
            return true;
    }
    return false;
}

void reportAccessError(int failures, const char* path)
{
    std::printf("Access error:%d %s\n", failures, path);
}

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

bool EncryptedFileFinder::isEncryptedFile(const char* path, ProtectionKind& kind)
{
    if (!path)
        return false;
    int failures = 0;
    bool isProtected = false;

    // The suffix sets are disjoint, so at most one group applies. Each guards itself: a file
    // that cannot be read leaves a trace and counts as unprotected.
    if (endsWithAny(path, { ".doc", ".docm", ".docx" })) {
        try {
            isProtected = testOfficeDocument(path, kind) || isProtected;
        } catch (...) {
            ++failures;
            reportAccessError(failures, path);
        }
    }
    if (endsWithAny(path, { ".xls", ".xlsm", ".xlsx", ".xlsb" })) {
        try {
            isProtected = testOfficeDocument(path, kind) || isProtected;
        } catch (...) {
            reportAccessError(failures, path);
        }
    }
    if (endsWithAny(path, { ".ppt", ".pps", ".pptm", ".pptx", ".ppsx", ".ppsm" })) {
        try {
            isProtected = testOfficeDocument(path, kind) || isProtected;
        } catch (...) {
            reportAccessError(failures, path);
        }
    }
    if (endsWith(path, ".xps")) {
        try {
            isProtected = testOfficeDocument(path, kind) || isProtected;
        } catch (...) {
            reportAccessError(failures, path);
        }
    }
    if (endsWith(path, ".pdf")) {
        try {
            isProtected = testPdfFile(path, kind) || isProtected;
        } catch (...) {
            reportAccessError(failures, path);
        }
    }
    if (endsWith(path, ".zip")) {
        try {
            isProtected = testZipFile(path, kind) || isProtected;
        } catch (...) {
            reportAccessError(failures, path);
        }
    }
    return isProtected;
}
