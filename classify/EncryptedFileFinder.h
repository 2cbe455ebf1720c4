#pragma once

#include "classify/ProtectionKind.h"
#include "foundation/Object.h"
#include "foundation/TraceSink.h"

// Decides from a file's contents whether a document is protected and how. It keeps nothing
// between tests: create one on the stack for one or more of them.
class EncryptedFileFinder : public Object {
public:
    // trace receives the line of every file that cannot be read.
    explicit EncryptedFileFinder(TraceSink trace);

    // The caller sets kind to PROTECTION_NONE; this writes PROTECTION_IRM or
    // PROTECTION_PASSWORD into it and returns true when the document is protected. A password
    // wins over rights management when a document has both. A file that cannot be read is
    // unprotected; the failure leaves "Access error:%d %s" in the trace. Running out of memory
    // throws OutOfMemoryException.
    bool isEncryptedFile(const char* path, ProtectionKind& kind);

    // One test of a file's protection: true when it found one, with the kind written.
    using ProtectionTest = bool (*)(const char* path, ProtectionKind& kind);
    // Runs one test under the guard that every test has: a failure counts in failures, leaves
    // "Access error:<failures> <path>" in the trace and answers false; an OutOfMemoryException
    // passes on.
    bool runGuarded(ProtectionTest test, const char* path, ProtectionKind& kind, int& failures) const;

private:
    static bool testOfficeDocument(const char* path, ProtectionKind& kind);
    static bool testPdfFile(const char* path, ProtectionKind& kind);
    static bool testZipFile(const char* path, ProtectionKind& kind);

    TraceSink m_trace;
};
