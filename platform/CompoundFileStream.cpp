#include "platform/CompoundFileStream.h"

#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

namespace platform {

CompoundFileStream::CompoundFileStream(_GsfInput* input)
    : m_input(input)
{
}

CompoundFileStream::~CompoundFileStream()
{
    g_object_unref(m_input);
}

uint64_t CompoundFileStream::size() const
{
    gsf_off_t size = gsf_input_size(m_input);
    return size > 0 ? static_cast<uint64_t>(size) : 0;
}

size_t CompoundFileStream::readAt(uint64_t offset, void* buffer, size_t length) const
{
    uint64_t size = this->size();
    if (offset >= size || length == 0)
        return 0;
    if (length > size - offset)
        length = static_cast<size_t>(size - offset);
    if (gsf_input_seek(m_input, static_cast<gsf_off_t>(offset), G_SEEK_SET))
        return 0;
    if (!gsf_input_read(m_input, length, static_cast<guint8*>(buffer)))
        return 0;
    return length;
}

}
