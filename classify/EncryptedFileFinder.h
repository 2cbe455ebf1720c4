#pragma once

#include "classify/ProtectionKind.h"
#include "foundation/Object.h"

// Decides from a file's contents whether a document is protected and how. Stateless: create
// one on the stack for one or more tests.
class EncryptedFileFinder : public Object {
public:
    // The caller sets kind to PROTECTION_NONE; this writes PROTECTION_IRM or
    // PROTECTION_PASSWORD into it and returns true when the document is protected. A password
    // wins over rights management when a document has both. A file that cannot be read is
    // unprotected; the failure leaves "Access error:%d %s" on standard output.
    bool isEncryptedFile(const char* path, ProtectionKind& kind);

private:
    bool testOfficeDocument(const char* path, ProtectionKind& kind);
    bool testPdfFile(const char* path, ProtectionKind& kind);
    bool testZipFile(const char* path, ProtectionKind& kind);
};
