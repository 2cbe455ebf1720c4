#include "cli/DocumentShard.h"

#include <charconv>

namespace {

// Decimal digits only: no sign, no spaces, no suffix; false past maxCount.
bool parseNumber(std::string_view text, uint32_t& value)
{
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t number = 0;
    auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (failure != std::errc() || end != text.data() + text.size() || number > DocumentShard::maxCount)
        return false;
    value = static_cast<uint32_t>(number);
    return true;
}

// FNV-1a over the path's bytes, then a final mix so that the low bits, which pick the part,
// depend on every byte. Fixed here for good: changing it would move documents between the shards
// of runs that are already under way.
uint64_t pathHash(std::string_view path)
{
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char byte : path) {
        hash ^= byte;
        hash *= 0x100000001b3ULL;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdULL;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ULL;
    hash ^= hash >> 33;
    return hash;
}

}

DocumentShard::DocumentShard(uint32_t index, uint32_t count)
    : m_index(index)
    , m_count(count)
{
}

std::optional<DocumentShard> DocumentShard::parse(std::string_view text, std::string& error)
{
    const size_t slash = text.find('/');
    uint32_t index = 0;
    uint32_t count = 0;
    if (slash == std::string_view::npos || !parseNumber(text.substr(0, slash), index)
        || !parseNumber(text.substr(slash + 1), count) || count == 0) {
        error = "--shard wants I/N with N from 1 to " + std::to_string(maxCount) + ", not '"
            + std::string(text) + "'";
        return std::nullopt;
    }
    if (index >= count) {
        error = "--shard " + std::string(text) + ": the shards of " + std::to_string(count) + " are 0 to "
            + std::to_string(count - 1);
        return std::nullopt;
    }
    return DocumentShard(index, count);
}

uint32_t DocumentShard::partOf(std::string_view path, uint32_t count)
{
    return static_cast<uint32_t>(pathHash(path) % count);
}

std::string DocumentShard::text() const
{
    return std::to_string(m_index) + "/" + std::to_string(m_count);
}
