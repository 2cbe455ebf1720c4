#pragma once

#include <chrono>
#include <string>
#include <vector>

// The folder that the folder benchmarks time: 10,000 files copied from the real corpus where it
// is at hand and from generated PDFs, zip archives, compound files, published and plain files,
// which are always there. Removed with everything in it when the object goes.
class MixedFolder {
public:
    static constexpr int FileCount = 10000;

    // corpus: the corpus folder; empty takes the one beside the checkout.
    explicit MixedFolder(std::string corpus);
    MixedFolder(const MixedFolder&) = delete;
    MixedFolder& operator=(const MixedFolder&) = delete;
    ~MixedFolder();

    // The folder, with a trailing '/'.
    std::string folder() const { return m_work + "/folder/"; }
    const std::vector<std::string>& paths() const { return m_paths; }
    size_t sourceCount() const { return m_sources.size(); }

    // Opens every file and reads its first 512 bytes: the least any look at the contents costs,
    // the baseline of the folder benchmarks. Adds to checksum so that nothing is optimised away.
    double openAndReadAll(long& checksum) const;

    static double secondsSince(const std::chrono::steady_clock::time_point& start);

private:
    void collectSources(const std::string& corpus);
    void generateSources(const std::string& generated);
    void buildFolder();

    std::string m_work;
    std::vector<std::string> m_sources;
    std::vector<std::string> m_paths;
};
