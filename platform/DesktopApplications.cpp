#include "platform/DesktopApplications.h"

#include <gio/gio.h>
#include <memory>

namespace platform {

namespace {

// Only the last name of a path can carry an extension; a "." in a folder name gives text with a
// "/" in it, which names no extension at all.
bool isExtension(const std::string& extension)
{
    return extension.size() > 1 && extension.front() == '.' && extension.find('/') == std::string::npos
        && extension.find('\0') == std::string::npos;
}

std::optional<std::string> iconText(GIcon* icon)
{
    if (G_IS_THEMED_ICON(icon)) {
        const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
        if (names && names[0] && *names[0])
            return std::string(names[0]);
    } else if (G_IS_FILE_ICON(icon)) {
        std::unique_ptr<gchar, decltype(&g_free)> path(
            g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon))), g_free);
        if (path)
            return std::string(path.get());
    }
    return std::nullopt;
}

// The icon of application when its Exec line starts executable.
std::optional<std::string> iconWhenStarting(GAppInfo* application, const std::string& executable)
{
    const char* started = g_app_info_get_executable(application);
    if (!started || executable != started)
        return std::nullopt;
    GIcon* icon = g_app_info_get_icon(application);
    return icon ? iconText(icon) : std::nullopt;
}

}

std::optional<std::string> mimeTypeForExtension(const std::string& extension)
{
    if (!isExtension(extension))
        return std::nullopt;
    // Without contents the guess goes by the name alone; no file is read.
    std::string name = "file" + extension;
    std::unique_ptr<gchar, decltype(&g_free)> type(
        g_content_type_guess(name.c_str(), nullptr, 0, nullptr), g_free);
    if (!type || g_content_type_is_unknown(type.get()))
        return std::nullopt;
    std::unique_ptr<gchar, decltype(&g_free)> mimeType(g_content_type_get_mime_type(type.get()), g_free);
    if (!mimeType)
        return std::nullopt;
    return std::string(mimeType.get());
}

std::optional<std::string> defaultOpenCommand(const std::string& mimeType)
{
    if (mimeType.empty())
        return std::nullopt;
    std::unique_ptr<gchar, decltype(&g_free)> type(g_content_type_from_mime_type(mimeType.c_str()), g_free);
    if (!type)
        return std::nullopt;
    std::unique_ptr<GAppInfo, decltype(&g_object_unref)> application(
        g_app_info_get_default_for_type(type.get(), FALSE), g_object_unref);
    if (!application)
        return std::nullopt;
    const char* commandLine = g_app_info_get_commandline(application.get());
    if (!commandLine || !*commandLine)
        return std::nullopt;
    return std::string(commandLine);
}

std::optional<std::string> applicationIcon(const std::string& mimeType, const std::string& executable)
{
    if (mimeType.empty() || executable.empty())
        return std::nullopt;
    std::unique_ptr<gchar, decltype(&g_free)> type(g_content_type_from_mime_type(mimeType.c_str()), g_free);
    if (!type)
        return std::nullopt;
    std::unique_ptr<GAppInfo, decltype(&g_object_unref)> preferred(
        g_app_info_get_default_for_type(type.get(), FALSE), g_object_unref);
    if (preferred) {
        if (auto icon = iconWhenStarting(preferred.get(), executable))
            return icon;
    }
    std::unique_ptr<GList, void (*)(GList*)> all(
        g_app_info_get_all_for_type(type.get()), [](GList* list) { g_list_free_full(list, g_object_unref); });
    for (GList* entry = all.get(); entry; entry = entry->next) {
        if (auto icon = iconWhenStarting(G_APP_INFO(entry->data), executable))
            return icon;
    }
    return std::nullopt;
}

}
