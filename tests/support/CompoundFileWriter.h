#pragma once

#include <map>
#include <memory>
#include <string>

// Writes OLE compound files for tests with libgsf's writer: storages and streams addressed by
// paths of names separated by "/" (names may hold control characters such as "\x06").
class CompoundFileWriter {
public:
    CompoundFileWriter();
    ~CompoundFileWriter();

    // Adds a stream, creating the storages on its way.
    CompoundFileWriter& stream(const std::string& path, const std::string& bytes);
    // Adds an empty storage (and the ones on its way).
    CompoundFileWriter& storage(const std::string& path);

    // Writes the file; throws std::runtime_error when it cannot.
    void write(const std::string& file) const;

    struct Node;

private:
    Node& nodeAt(const std::string& path);

    std::unique_ptr<Node> m_root;
};
