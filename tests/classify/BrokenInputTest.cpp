#include "classify/EncryptedFileFinder.h"
#include "classify/PDFFile.h"
#include "classify/ProtectedDocument.h"
#include "classify/ZipFile.h"
#include "foundation/String.h"
#include "tests/classify/ClassifyTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Replays every broken input kept in tests/data (inputs that once crashed or hung a reader, and
// hand-made damaged files) through each reader under every name it could carry. Catches a
// regression of any of those faults: the test process would crash or time out.
TEST(BrokenInput, EveryKeptInputGivesAnAnswer)
{
    std::string data = classifytest::sourceFolder() + "/tests/data/classify";
    ASSERT_TRUE(std::filesystem::is_directory(data));
    TemporaryFolder folder;
    int replayed = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(data)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README.md")
            continue;
        for (const char* suffix : { ".doc", ".xls", ".ppt", ".docx", ".xps", ".pdf", ".zip" }) {
            std::string path = folder.file("input" + std::string(suffix));
            std::filesystem::copy_file(entry.path(), path, std::filesystem::copy_options::overwrite_existing);
            ProtectionKind kind = PROTECTION_NONE;
            EncryptedFileFinder(TraceSink()).isEncryptedFile(path.c_str(), kind);
            EXPECT_TRUE(kind == PROTECTION_NONE || kind == PROTECTION_IRM || kind == PROTECTION_PASSWORD);
            ProtectedDocument document(path.c_str());
            String owner;
            document.getOwner(owner);
        }
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}
