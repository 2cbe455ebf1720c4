#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

// The folder that the folder benchmarks time: files copied from the real corpus where it is at
// hand and from generated PDFs, zip archives, compound files, published and plain files, which
// are always there. Removed with everything in it when the object goes, unless it was only
// looked at (existing).
class MixedFolder {
public:
    static constexpr int FileCount = 10000;

    // FileCount files, each source in turn. corpus: the corpus folder; empty takes the one beside
    // the checkout.
    explicit MixedFolder(std::string corpus);
    // shownCount files that the file list shows (Word documents from the corpus, and a few
    // published files) and otherCount that it does not (workbooks, presentations, pictures,
    // tables, archives), spread evenly through the folder's order of names.
    MixedFolder(std::string corpus, int shownCount, int otherCount);
    MixedFolder(const MixedFolder&) = delete;
    MixedFolder& operator=(const MixedFolder&) = delete;
    ~MixedFolder();

    // A folder that another MixedFolder built, as it is on disk; it stays when the object goes.
    // A child process of a benchmark times the folder that its parent built this way.
    static std::unique_ptr<MixedFolder> existing(const std::string& folder);

    // Whether the file list shows a file of this name: a Word document or a published file.
    static bool isShownName(const std::string& name);

    // The folder, with a trailing '/'.
    std::string folder() const { return m_folder; }
    // Every file, and the files that the file list shows, in order of path.
    const std::vector<std::string>& paths() const { return m_paths; }
    const std::vector<std::string>& shownPaths() const { return m_shownPaths; }
    size_t sourceCount() const { return m_sources.size(); }

    // Opens every file and reads its first 512 bytes: the least any look at the contents costs,
    // the baseline of the folder benchmarks. Adds to checksum so that nothing is optimised away.
    double openAndReadAll(long& checksum) const { return openAndRead(m_paths, checksum); }
    static double openAndRead(const std::vector<std::string>& paths, long& checksum);

    static double secondsSince(const std::chrono::steady_clock::time_point& start);

private:
    MixedFolder() = default;
    void collectSources(const std::string& corpus);
    void generateSources(const std::string& generated);
    void generateOtherSources(const std::string& generated);
    void buildFolder(int count);
    void buildFolder(int shownCount, int otherCount);
    void addFile(int number, const std::string& source, const std::string& contents);

    // Empty for a folder that this object did not make.
    std::string m_work;
    std::string m_folder;
    std::vector<std::string> m_sources;
    std::vector<std::string> m_paths;
    std::vector<std::string> m_shownPaths;
};
