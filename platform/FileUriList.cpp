#include "platform/FileUriList.h"

#include <glib.h>

#include <memory>

namespace platform::fileUriList {

namespace {

struct GFreeDeleter {
    void operator()(gchar* text) const { g_free(text); }
};
using GText = std::unique_ptr<gchar, GFreeDeleter>;

struct StrvDeleter {
    void operator()(gchar** list) const { g_strfreev(list); }
};
using GTextList = std::unique_ptr<gchar*, StrvDeleter>;

// Every URI of the paths, percent-encoded by GLib, which encodes each byte that is not allowed
// as it stands and so keeps names that are not UTF-8; a relative path has no file URI and is
// left out.
std::vector<std::string> urisOf(const std::vector<std::string>& paths)
{
    std::vector<std::string> uris;
    uris.reserve(paths.size());
    for (const std::string& path : paths) {
        GText uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
        if (uri)
            uris.emplace_back(uri.get());
    }
    return uris;
}

// A file URI names a file of this machine when it has no host, "localhost", or this host's name.
bool isLocalHost(const gchar* host)
{
    return !host || !*host || g_ascii_strcasecmp(host, "localhost") == 0
        || g_ascii_strcasecmp(host, g_get_host_name()) == 0;
}

void addLocalPath(const gchar* uri, std::vector<std::string>& paths)
{
    gchar* host = nullptr;
    GText path(g_filename_from_uri(uri, &host, nullptr));
    GText ownedHost(host);
    if (path && isLocalHost(host))
        paths.emplace_back(path.get());
}

}

std::string uriList(const std::vector<std::string>& paths)
{
    std::string list;
    for (const std::string& uri : urisOf(paths))
        list += uri + "\r\n";
    return list;
}

std::string gnomeCopiedFiles(const std::vector<std::string>& paths)
{
    std::string list = "copy";
    for (const std::string& uri : urisOf(paths))
        list += "\n" + uri;
    return list;
}

std::vector<std::string> localPathsOfUriList(std::string_view bytes)
{
    // Up to the first NUL, as the list is text; GLib then skips comments and blank lines and
    // takes CRLF and a bare line feed alike.
    std::string text(bytes.substr(0, bytes.find('\0')));
    GTextList uris(g_uri_list_extract_uris(text.c_str()));
    std::vector<std::string> paths;
    for (gchar** uri = uris.get(); uri && *uri; ++uri)
        addLocalPath(*uri, paths);
    return paths;
}

std::vector<std::string> localPathsOfGnomeCopiedFiles(std::string_view bytes)
{
    std::string text(bytes.substr(0, bytes.find('\0')));
    GTextList lines(g_strsplit(text.c_str(), "\n", -1));
    std::vector<std::string> paths;
    if (!lines || !lines.get()[0])
        return paths;
    std::string_view action = g_strstrip(lines.get()[0]);
    if (action != "copy" && action != "cut")
        return paths;
    for (gchar** line = lines.get() + 1; *line; ++line) {
        g_strstrip(*line);
        if (**line)
            addLocalPath(*line, paths);
    }
    return paths;
}

}
