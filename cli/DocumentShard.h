#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One of N stable parts of a run's documents, for batch systems that start one pressling-cli per
// part ("--shard I/N", I from 0 to N-1, as a Kubernetes Indexed Job numbers its pods). A
// document's part depends on its absolute path alone, not on the order of the list or on the
// other documents, so every shard of one list agrees on who publishes what: the N shards
// together cover every document exactly once, and a document keeps its shard when the list grows.
class DocumentShard {
public:
    static constexpr uint32_t maxCount = 1000000;

    DocumentShard(uint32_t index, uint32_t count);

    // "I/N" in decimal digits with 0 <= I < N <= maxCount; nothing, with error set, otherwise.
    static std::optional<DocumentShard> parse(std::string_view text, std::string& error);
    // The part, from 0 to count-1, that the document at path belongs to.
    static uint32_t partOf(std::string_view path, uint32_t count);

    uint32_t index() const { return m_index; }
    uint32_t count() const { return m_count; }
    bool holds(std::string_view path) const { return partOf(path, m_count) == m_index; }
    std::string text() const;

private:
    uint32_t m_index;
    uint32_t m_count;
};
