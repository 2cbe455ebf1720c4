#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it when the
// test is done.
class TemporaryFolder {
public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    const std::string& path() const { return m_path; }
    // The path of name inside the folder.
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // Writes bytes into name inside the folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string m_path;
};
