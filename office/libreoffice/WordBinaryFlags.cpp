#include "office/libreoffice/WordBinaryFlags.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

namespace office {

namespace {

constexpr unsigned wordIdentifier = 0xA5EC;
// FibBase: wIdent, nFib, unused, lid, pnNext, then the flag word.
constexpr size_t flagsOffset = 10;
constexpr unsigned readOnlyRecommendedBit = 0x0400;

}

bool wordBinaryRecommendsReadOnly(const std::string& path)
{
    gsf_init();
    GError* error = nullptr;
    GsfInput* file = gsf_input_stdio_new(path.c_str(), &error);
    if (!file) {
        g_clear_error(&error);
        return false;
    }
    bool recommended = false;
    GsfInfile* storage = gsf_infile_msole_new(file, &error);
    g_clear_error(&error);
    if (storage) {
        GsfInput* stream = gsf_infile_child_by_name(storage, "WordDocument");
        if (stream) {
            guint8 fib[flagsOffset + 2];
            if (gsf_input_size(stream) >= static_cast<gsf_off_t>(sizeof fib)
                && gsf_input_read(stream, sizeof fib, fib)) {
                unsigned identifier = fib[0] | (fib[1] << 8);
                unsigned flags = fib[flagsOffset] | (fib[flagsOffset + 1] << 8);
                recommended = identifier == wordIdentifier && (flags & readOnlyRecommendedBit);
            }
            g_object_unref(stream);
        }
        g_object_unref(storage);
    }
    g_object_unref(file);
    return recommended;
}

}
