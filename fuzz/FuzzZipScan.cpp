#include "classify/ZipFile.h"
#include "fuzz/FuzzInput.h"

// The zip scan over any bytes: it must end, and count no more encrypted entries than entries.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = writeFuzzInput(data, size, ".zip");
    try {
        ZipFile archive;
        if (archive.open(path.c_str()) != 0)
            return 0;
        int entries = archive.scan();
        if (entries < 0 || archive.m_encryptedCount > archive.m_entryCount)
            __builtin_trap();
        if (archive.isEncrypted() && entries == 0)
            __builtin_trap();
    } catch (int) {
    }
    return 0;
}
