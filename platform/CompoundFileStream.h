#pragma once

#include <cstddef>
#include <cstdint>

struct _GsfInput;

namespace platform {

// One stream of a compound file, opened from its storage (CompoundFileStorage::openStream).
class CompoundFileStream {
public:
    explicit CompoundFileStream(_GsfInput* input);
    CompoundFileStream(const CompoundFileStream&) = delete;
    CompoundFileStream& operator=(const CompoundFileStream&) = delete;
    ~CompoundFileStream();

    uint64_t size() const;

    // Reads up to length bytes from offset; returns how many arrived (fewer at the end of the
    // stream, 0 when offset lies beyond it or the file's blocks cannot be read).
    size_t readAt(uint64_t offset, void* buffer, size_t length) const;

private:
    _GsfInput* m_input;
};

}
