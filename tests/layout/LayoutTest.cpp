#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

// What each library may include besides itself, bottom up. An include that runs back up this
// table would tie a lower layer to a higher one: the engine to Qt Widgets, the document
// readers to the office suite.
const std::map<std::string, std::set<std::string>> allowedIncludes = {
    { "platform", {} },
    { "foundation", { "platform" } },
    { "classify", { "platform", "foundation" } },
    { "formats/zip", { "platform", "foundation" } },
    { "formats/xps", { "platform", "foundation", "formats/zip" } },
    { "formats/webarchive", { "platform", "foundation" } },
    { "office", { "platform", "foundation" } },
    { "office/libreoffice",
        { "platform", "foundation", "office", "formats/zip", "formats/xps", "formats/webarchive" } },
    { "publishing", { "platform", "foundation", "classify", "office" } },
    { "resources", {} },
    { "ui", { "resources" } },
    { "publishing/notifier",
        { "platform", "foundation", "classify", "office", "publishing", "resources", "ui" } },
    { "filelist",
        { "platform", "foundation", "classify", "office", "publishing", "resources", "ui",
            "publishing/notifier" } },
    { "shell",
        { "platform", "foundation", "classify", "office", "publishing", "resources", "ui",
            "publishing/notifier", "filelist" } },
};

// The libraries that pressling-cli and the fuzzers use, which must not need Qt Widgets.
const std::set<std::string> withoutWidgets = { "platform", "foundation", "classify", "formats/zip",
    "formats/xps", "formats/webarchive", "office", "office/libreoffice", "publishing" };

std::string sourceFolder()
{
    if (const char* source = std::getenv("PRESSLING_SOURCE_DIR"); source && *source)
        return source;
    return fs::path(__FILE__).parent_path().parent_path().parent_path().string();
}

// The deepest library folder that holds path ("office/libreoffice" for its files, not "office").
std::string libraryOf(const std::string& path)
{
    std::string best;
    for (const auto& [library, allowed] : allowedIncludes) {
        if (path.rfind(library + "/", 0) == 0 && library.size() > best.size())
            best = library;
    }
    return best;
}

struct Violation {
    std::string file;
    std::string include;
};

std::vector<Violation> violations(const fs::path& root)
{
    static const std::regex projectInclude(R"re(^\s*#\s*include\s+"([^"]+)")re");
    static const std::regex widgetsInclude(
        R"re(^\s*#\s*include\s+<(QtWidgets/|Q(Widget|Dialog|MessageBox|Application|Menu|Action|Label|PushButton|TreeView|ListView)\b))re");
    std::vector<Violation> found;
    for (const auto& [library, allowed] : allowedIncludes) {
        if (!fs::is_directory(root / library))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / library)) {
            std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp"))
                continue;
            std::string relative = fs::relative(entry.path(), root).string();
            if (libraryOf(relative) != library)
                continue;
            std::ifstream file(entry.path());
            std::string line;
            while (std::getline(file, line)) {
                std::smatch match;
                if (std::regex_search(line, match, projectInclude)) {
                    std::string target = libraryOf(match[1]);
                    if (!target.empty() && target != library && !allowed.count(target))
                        found.push_back({ relative, match[1] });
                }
                if (withoutWidgets.count(library) && std::regex_search(line, match, widgetsInclude))
                    found.push_back({ relative, match[0] });
            }
        }
    }
    return found;
}

}

TEST(Layout, NoIncludeRunsBackUpTheLayers)
{
    ASSERT_TRUE(fs::is_directory(fs::path(sourceFolder()) / "platform")) << sourceFolder();
    for (const auto& violation : violations(sourceFolder()))
        ADD_FAILURE() << violation.file << " includes " << violation.include;
}

// The check must see a violation when there is one, or its silence would mean nothing: a
// reader that includes the UNO implementation, and an engine file that includes a widget.
TEST(Layout, PlantedViolationsAreFound)
{
    TemporaryFolder tree;
    for (const char* folder : { "classify", "office/libreoffice", "publishing" })
        fs::create_directories(fs::path(tree.path()) / folder);
    tree.write("classify/Reader.cpp",
        "#include \"classify/FileType.h\"\n#include \"office/libreoffice/UnoDocument.h\"\n");
    tree.write("office/libreoffice/UnoDocument.h",
        "#include \"office/ComError.h\"\n#include \"formats/xps/XpsWriter.h\"\n");
    tree.write("publishing/Job.cpp", "#include \"classify/FileType.h\"\n#include <QWidget>\n");
    auto found = violations(tree.path());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].file + " " + found[0].include, "classify/Reader.cpp office/libreoffice/UnoDocument.h");
    EXPECT_EQ(found[1].file, "publishing/Job.cpp");
}
