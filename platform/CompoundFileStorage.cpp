#include "platform/CompoundFileStorage.h"

#include "platform/FileInUse.h"
#include "platform/ReadOnlyFile.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace platform {

namespace {

constexpr unsigned char Signature[8] = { 0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1 };

void ignoreMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) { }

// libgsf reports damaged files through GLib warnings on standard error; a damaged document
// is an ordinary answer here ("not protected"), not something to print.
void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        for (const char* domain : { "libgsf:msole", "libgsf" })
            g_log_set_handler(domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK & ~G_LOG_LEVEL_ERROR),
                ignoreMessage, nullptr);
    });
}

// A document of ordinary size is read into memory with one call, which is far cheaper than the
// many small reads and seeks of walking its blocks in the file; a large one is read in place.
constexpr uint64_t InMemoryLimit = 512 * 1024;

bool hasSignature(const unsigned char* bytes, size_t length)
{
    return length >= sizeof(Signature) && std::memcmp(bytes, Signature, sizeof(Signature)) == 0;
}

// The file's bytes when it is small enough to read whole, or null for a larger one.
struct WholeFile {
    guint8* bytes = nullptr;
    size_t length = 0;
    ~WholeFile() { g_free(bytes); }
};

bool readWhole(const ReadOnlyFile& file, WholeFile& whole)
{
    whole.bytes = static_cast<guint8*>(g_try_malloc(file.size() ? file.size() : 1));
    if (!whole.bytes)
        return false;
    whole.length = file.readAt(0, whole.bytes, file.size());
    return true;
}

GsfInput* openInput(ReadOnlyFile& file, WholeFile& whole, const std::string& path)
{
    if (whole.bytes) {
        GsfInput* input = gsf_input_memory_new(whole.bytes, static_cast<gsf_off_t>(whole.length), TRUE);
        if (input)
            whole.bytes = nullptr;
        return input;
    }
    int descriptor = file.release();
    FILE* stream = ::fdopen(descriptor, "rb");
    if (!stream) {
        ::close(descriptor);
        return nullptr;
    }
    GsfInput* input = gsf_input_stdio_new_FILE(path.c_str(), stream, FALSE);
    if (!input)
        std::fclose(stream);
    return input;
}

bool equalsIgnoringCase(const char* left, const std::string& right)
{
    return left && g_ascii_strcasecmp(left, right.c_str()) == 0;
}

}

StorageFileCheck CompoundFileStorage::check(const std::string& path)
{
    ReadOnlyFile file(path);
    if (!file.isOpen())
        return StorageFileCheck::Failed;
    unsigned char head[sizeof(Signature)];
    if (file.readAt(0, head, sizeof(head)) != sizeof(head))
        return StorageFileCheck::NotStorage;
    return hasSignature(head, sizeof(head)) ? StorageFileCheck::Storage : StorageFileCheck::NotStorage;
}

std::unique_ptr<CompoundFileStorage> CompoundFileStorage::open(
    const std::string& path, StorageOpenFailure* failure)
{
    StorageOpenFailure ignored;
    StorageOpenFailure& reason = failure ? *failure : ignored;
    reason = StorageOpenFailure::None;
    initialiseLibrary();

    ReadOnlyFile file(path);
    if (!file.isOpen()) {
        reason = StorageOpenFailure::Unreachable;
        return nullptr;
    }
    // Many files asked about are no compound files at all; they are told apart by their first
    // bytes before anything costlier is done.
    unsigned char head[sizeof(Signature)];
    bool isCompound = hasSignature(head, file.readAt(0, head, sizeof(head)));
    if (!isCompound) {
        reason = StorageOpenFailure::NotCompoundFile;
        return nullptr;
    }
    if (isFileInUse(file.descriptor(), path)) {
        reason = StorageOpenFailure::InUse;
        return nullptr;
    }
    WholeFile whole;
    if (file.size() <= InMemoryLimit && !readWhole(file, whole)) {
        reason = StorageOpenFailure::Unreachable;
        return nullptr;
    }
    GsfInput* input = openInput(file, whole, path);
    if (!input) {
        reason = StorageOpenFailure::Unreachable;
        return nullptr;
    }
    GError* error = nullptr;
    GsfInfile* infile = gsf_infile_msole_new(input, &error);
    g_object_unref(input);
    if (error)
        g_error_free(error);
    if (!infile) {
        reason = StorageOpenFailure::NotCompoundFile;
        return nullptr;
    }
    return std::unique_ptr<CompoundFileStorage>(new CompoundFileStorage(infile, file.size()));
}

CompoundFileStorage::CompoundFileStorage(_GsfInfile* infile, uint64_t fileSize)
    : m_infile(infile)
    , m_fileSize(fileSize)
{
}

CompoundFileStorage::~CompoundFileStorage()
{
    g_object_unref(m_infile);
}

_GsfInput* CompoundFileStorage::child(const std::string& name, bool wantStorage) const
{
    int count = gsf_infile_num_children(m_infile);
    for (int i = 0; i < count; ++i) {
        if (!equalsIgnoringCase(gsf_infile_name_by_index(m_infile, i), name))
            continue;
        GsfInput* input = gsf_infile_child_by_index(m_infile, i);
        if (!input)
            return nullptr;
        bool isStorage = GSF_IS_INFILE(input) && gsf_infile_num_children(GSF_INFILE(input)) >= 0;
        if (isStorage == wantStorage)
            return input;
        g_object_unref(input);
        return nullptr;
    }
    return nullptr;
}

std::unique_ptr<CompoundFileStorage> CompoundFileStorage::openStorage(const std::string& name) const
{
    GsfInput* input = child(name, true);
    if (!input)
        return nullptr;
    return std::unique_ptr<CompoundFileStorage>(new CompoundFileStorage(GSF_INFILE(input), m_fileSize));
}

std::unique_ptr<CompoundFileStream> CompoundFileStorage::openStream(const std::string& name) const
{
    GsfInput* input = child(name, false);
    if (!input)
        return nullptr;
    return std::make_unique<CompoundFileStream>(input);
}

}
