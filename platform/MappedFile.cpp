#include "platform/MappedFile.h"

#include "platform/ReadOnlyFile.h"

#include <sys/mman.h>
#include <unistd.h>

namespace platform {

MappedFile::~MappedFile()
{
    unmap();
}

void MappedFile::unmap()
{
    if (m_data)
        ::munmap(const_cast<uint8_t*>(m_data), m_size);
    m_data = nullptr;
    m_size = 0;
}

bool MappedFile::open(const std::string& path)
{
    unmap();
    ReadOnlyFile file(path);
    if (!file.isOpen())
        return false;
    if (file.size() == 0)
        return true;
    if (file.size() > SIZE_MAX)
        return false;
    void* address = ::mmap(nullptr, file.size(), PROT_READ, MAP_PRIVATE, file.descriptor(), 0);
    if (address == MAP_FAILED)
        return false;
    // The readers walk forward; telling the kernel lets it read ahead and drop pages early.
    ::madvise(address, file.size(), MADV_SEQUENTIAL);
    m_data = static_cast<const uint8_t*>(address);
    m_size = file.size();
    return true;
}

void MappedFile::release(uint64_t begin, uint64_t end)
{
    if (!m_data)
        return;
    static const uint64_t pageSize = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
    if (end > m_size)
        end = m_size;
    uint64_t first = (begin + pageSize - 1) / pageSize * pageSize;
    uint64_t last = end / pageSize * pageSize;
    if (first >= last)
        return;
    ::madvise(const_cast<uint8_t*>(m_data) + first, last - first, MADV_DONTNEED);
}

}
