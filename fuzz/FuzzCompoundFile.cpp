#include "classify/EncryptedFileFinder.h"
#include "classify/OfficeDocument.h"
#include "classify/PasswordEncryption.h"
#include "fuzz/FuzzInput.h"

// The compound-file tests over any bytes, under the name of each format they apply to. The
// finder, which opens a document once for both tests, must agree with the two tests run apart.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const suffixes[] = { ".doc", ".xls", ".ppt", ".docx", ".xps" };
    for (const char* suffix : suffixes) {
        std::string path = writeFuzzInput(data, size, suffix);
        int code = OfficeDocument::IsIRMProtected(path.c_str());
        if (code != 0 && code != 1 && code != 101 && code != 201 && code != 202 && code != 105)
            __builtin_trap();
        bool password = isPasswordEncrypted(path.c_str());
        ProtectionKind kind = PROTECTION_NONE;
        EncryptedFileFinder(TraceSink()).isEncryptedFile(path.c_str(), kind);
        ProtectionKind expected = password ? PROTECTION_PASSWORD
            : code == 1                    ? PROTECTION_IRM
                                           : PROTECTION_NONE;
        if (kind != expected)
            __builtin_trap();
    }
    return 0;
}
