#include "office/libreoffice/OutputHandOver.h"

#include "office/ComError.h"

#include <filesystem>

namespace office::outputHandOver {

namespace fs = std::filesystem;

namespace {

void fail(const std::string& what, const fs::path& path, const std::error_code& error)
{
    throw ComError(hresult::accessDenied, "cannot " + what + " " + path.string() + ": " + error.message());
}

}

void clear(const std::string& folder)
{
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        fs::remove_all(entry.path(), error);
}

void moveAll(const std::string& from, const std::string& into)
{
    std::error_code error;
    fs::directory_iterator entries(from, error);
    if (error)
        fail("read the office's output in", from, error);
    for (const fs::directory_entry& entry : entries) {
        fs::path target = fs::path(into) / entry.path().filename();
        fs::file_status status = entry.symlink_status(error);
        if (!error && fs::is_regular_file(status)) {
            fs::rename(entry.path(), target, error);
            if (error == std::errc::cross_device_link) {
                error.clear();
                fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing, error);
                if (!error)
                    fs::remove(entry.path(), error);
            }
            if (error)
                fail("hand over", target, error);
        } else if (!error && fs::is_directory(status)) {
            fs::create_directory(target, error);
            if (error)
                fail("make the folder", target, error);
            moveAll(entry.path().string(), target.string());
            fs::remove(entry.path(), error);
        } else {
            fs::remove(entry.path(), error);
        }
    }
}

}
