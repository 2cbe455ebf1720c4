#include "platform/Trash.h"

#include <cerrno>
#include <gio/gio.h>
#include <memory>

namespace platform {

namespace {

// GIO reports its own error codes; callers of the trash expect errno values, as every other
// file operation here gives.
int errnoOf(const GError* error)
{
    if (error->domain != G_IO_ERROR)
        return EIO;
    switch (error->code) {
    case G_IO_ERROR_NOT_FOUND:
        return ENOENT;
    case G_IO_ERROR_PERMISSION_DENIED:
        return EACCES;
    case G_IO_ERROR_NOT_SUPPORTED:
        return ENOTSUP;
    case G_IO_ERROR_NO_SPACE:
        return ENOSPC;
    case G_IO_ERROR_READ_ONLY:
        return EROFS;
    case G_IO_ERROR_INVALID_FILENAME:
        return EINVAL;
    case G_IO_ERROR_FILENAME_TOO_LONG:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

}

// GIO rather than Qt: GIO keeps the name as the bytes it is (Qt turns it into text first), and
// it creates $XDG_DATA_HOME/Trash with its parents where Qt would fall back to the current folder.
// On a mount of its own GIO uses that mount's trash, and where it has none it refuses rather than
// deleting.
int moveToTrash(const char* path)
{
    if (!path || !*path)
        return EINVAL;
    std::unique_ptr<GFile, decltype(&g_object_unref)> file(g_file_new_for_path(path), g_object_unref);
    GError* error = nullptr;
    if (g_file_trash(file.get(), nullptr, &error))
        return 0;
    int result = errnoOf(error);
    g_error_free(error);
    return result;
}

}
