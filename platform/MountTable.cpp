#include "platform/MountTable.h"

#include "platform/FileOperations.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace platform {

namespace {

// A table of thousands of mounts stays far below this.
constexpr uint64_t largestTable = 16ull * 1024 * 1024;

// The kernel's own file systems and the system's plumbing, which a user never opens as a
// volume even when one is mounted where volumes go.
constexpr std::array systemTypes { "autofs", "binfmt_misc", "bpf", "cgroup", "cgroup2", "configfs", "debugfs",
    "devpts", "devtmpfs", "efivarfs", "fusectl", "hugetlbfs", "mqueue", "nsfs", "proc", "pstore",
    "rpc_pipefs", "securityfs", "selinuxfs", "sysfs", "tracefs" };

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The kernel writes a blank as \040, a tab as \011, a newline as \012 and a backslash as \134.
std::string decoded(std::string_view field)
{
    std::string text;
    text.reserve(field.size());
    for (size_t at = 0; at < field.size(); ++at) {
        if (field[at] == '\\' && at + 3 < field.size() && isOctalDigit(field[at + 1])
            && isOctalDigit(field[at + 2]) && isOctalDigit(field[at + 3])) {
            int value = (field[at + 1] - '0') * 64 + (field[at + 2] - '0') * 8 + (field[at + 3] - '0');
            text.push_back(static_cast<char>(value));
            at += 3;
        } else {
            text.push_back(field[at]);
        }
    }
    return text;
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    while (!line.empty()) {
        size_t blank = line.find(' ');
        std::string_view field = line.substr(0, blank);
        if (!field.empty())
            fields.push_back(field);
        if (blank == std::string_view::npos)
            break;
        line.remove_prefix(blank + 1);
    }
    return fields;
}

bool numberOf(std::string_view field, int& value)
{
    auto [end, failure] = std::from_chars(field.data(), field.data() + field.size(), value);
    return failure == std::errc() && end == field.data() + field.size();
}

// "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw": identifiers, device,
// root, mount point, options, any number of optional fields, a hyphen, then type, source and
// the file system's options.
std::optional<Mount> mountOfLine(std::string_view line)
{
    std::vector<std::string_view> fields = fieldsOf(line);
    auto separator = std::find(fields.begin() + std::min<size_t>(fields.size(), 6), fields.end(), "-");
    if (fields.size() < 6 || fields.end() - separator < 3)
        return std::nullopt;
    Mount mount;
    if (!numberOf(fields[0], mount.id) || !numberOf(fields[1], mount.parentId))
        return std::nullopt;
    mount.root = decoded(fields[3]);
    mount.mountPoint = decoded(fields[4]);
    mount.fileSystemType = decoded(separator[1]);
    mount.source = decoded(separator[2]);
    if (mount.mountPoint.empty() || mount.mountPoint.front() != '/')
        return std::nullopt;
    return mount;
}

bool isBelow(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0
        && path[folder.size()] == '/';
}

bool isSystemType(const std::string& type)
{
    return std::find(systemTypes.begin(), systemTypes.end(), type) != systemTypes.end();
}

}

MountTable MountTable::parse(std::string_view mountInfo)
{
    MountTable table;
    while (!mountInfo.empty()) {
        size_t end = mountInfo.find('\n');
        if (auto mount = mountOfLine(mountInfo.substr(0, end)))
            table.m_mounts.push_back(std::move(*mount));
        if (end == std::string_view::npos)
            break;
        mountInfo.remove_prefix(end + 1);
    }
    return table;
}

// GIO's g_unix_mounts_get reads the same table, but its entries carry neither the mount's
// identifier nor its parent's, without which a mount hidden under a later one cannot be told
// from one that is seen (mountOf); and what it guesses should be displayed is not the set of
// volumes that userVolumes names. The table is therefore read here.
MountTable MountTable::current()
{
    std::string text;
    if (!fileOperations::readAll("/proc/self/mountinfo", text, largestTable))
        return MountTable();
    return parse(text);
}

std::optional<Mount> MountTable::mountOf(const std::string& path) const
{
    std::optional<size_t> current = rootMount();
    if (!current || path.empty() || path.front() != '/')
        return std::nullopt;
    // A mount stacked on the same folder as another is attached to the one below it; a table
    // that claims a loop is walked no further than it is long.
    auto climb = [&](std::string_view folder) {
        for (size_t step = 0; step < m_mounts.size(); ++step) {
            std::optional<size_t> above = mountedOn(*current, folder);
            if (!above)
                break;
            current = above;
        }
    };
    climb("/");
    std::string folder;
    size_t start = 1;
    while (start < path.size()) {
        size_t end = std::min(path.find('/', start), path.size());
        if (end > start) {
            folder.append("/").append(path, start, end - start);
            climb(folder);
        }
        start = end + 1;
    }
    return m_mounts[*current];
}

std::vector<Mount> MountTable::userVolumes(const std::string& user) const
{
    const std::string userMedia = "/run/media/" + user;
    std::vector<Mount> volumes;
    for (const Mount& mount : m_mounts) {
        const std::string& point = mount.mountPoint;
        bool shown = isBelow(point, "/media") || (!user.empty() && isBelow(point, userMedia))
            || point == "/mnt" || isBelow(point, "/mnt");
        if (!shown || isSystemType(mount.fileSystemType))
            continue;
        // A volume mounted again on the same folder covers the one before.
        auto same = std::find_if(
            volumes.begin(), volumes.end(), [&](const Mount& volume) { return volume.mountPoint == point; });
        if (same != volumes.end())
            *same = mount;
        else
            volumes.push_back(mount);
    }
    return volumes;
}

std::optional<size_t> MountTable::rootMount() const
{
    // The root's parent lies outside what this process can see, so it is not in the table.
    for (size_t at = 0; at < m_mounts.size(); ++at) {
        const Mount& mount = m_mounts[at];
        bool parentListed = std::any_of(m_mounts.begin(), m_mounts.end(),
            [&](const Mount& other) { return other.id == mount.parentId && &other != &mount; });
        if (mount.mountPoint == "/" && !parentListed)
            return at;
    }
    return std::nullopt;
}

std::optional<size_t> MountTable::mountedOn(size_t parent, std::string_view folder) const
{
    std::optional<size_t> found;
    for (size_t at = 0; at < m_mounts.size(); ++at) {
        if (at != parent && m_mounts[at].parentId == m_mounts[parent].id && m_mounts[at].mountPoint == folder)
            found = at;
    }
    return found;
}

}
