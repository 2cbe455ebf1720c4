#include "office/libreoffice/OrphanedOffices.h"

#include "office/libreoffice/LibreOfficeProfile.h"
#include "platform/LockedFolder.h"
#include "platform/PrivateFolder.h"
#include "platform/ProcessHandle.h"

#include <charconv>
#include <chrono>
#include <set>
#include <vector>

namespace office {

namespace {

const std::string pipeMarker = "pipe,name=pressling-";
const std::string profileMarker = "-env:UserInstallation=file://";

// How long a killed office may take to be gone before its profile is left for a later run.
constexpr std::chrono::seconds officeExitWait { 5 };

struct OfficeArguments {
    bool isOffice = false;
    bool hasOurPipe = false;
    std::string profile;
};

OfficeArguments officeArguments(const std::vector<std::string>& arguments)
{
    OfficeArguments result;
    result.isOffice = !arguments.empty() && arguments[0].find("soffice.bin") != std::string::npos;
    for (const std::string& argument : arguments) {
        if (argument.find(pipeMarker) != std::string::npos)
            result.hasOurPipe = true;
        if (argument.rfind(profileMarker, 0) == 0)
            result.profile = argument.substr(profileMarker.size());
    }
    return result;
}

// The profile folder, locked by us, when its maker is gone. The owner file is written only once
// the maker holds the lock, so a folder without it may be one that is being made right now.
bool takeAbandonedProfile(platform::LockedFolder& profile, const std::string& path)
{
    std::string owner;
    return profile.takeAbandoned(path) && profile.readFile(LibreOfficeProfile::ownerFile, owner, 64);
}

pid_t recordedGroup(const platform::LockedFolder& profile)
{
    std::string text;
    long group = -1;
    if (profile.readFile(LibreOfficeProfile::groupFile, text, 64))
        std::from_chars(text.data(), text.data() + text.size(), group);
    return static_cast<pid_t>(group);
}

// Kills the office, with the group made for it when it is still in that group (the leader's
// session, not ours); true once it is gone.
bool endOffice(platform::ProcessHandle& office, const platform::LockedFolder& profile)
{
    pid_t group = recordedGroup(profile);
    bool inItsOwnGroup = group > 1 && office.processGroup() == group && office.session() == group;
    if (inItsOwnGroup)
        platform::ProcessHandle::killGroup(group);
    office.kill();
    return office.waitForExit(officeExitWait);
}

// Profile folders whose maker is gone, left when a process died after its office had ended.
void removeAbandonedProfiles(const std::string& folder, const std::set<std::string>& inUse)
{
    for (const std::string& name : platform::PrivateFolder::entries(folder)) {
        std::string path = folder + "/" + name;
        if (inUse.count(path)
            || !platform::PrivateFolder::isDirectEntry(folder, path, LibreOfficeProfile::namePrefix))
            continue;
        platform::LockedFolder profile;
        if (takeAbandonedProfile(profile, path))
            profile.remove();
    }
}

}

std::string OrphanedOffices::pipePrefix(long ownerPid)
{
    return "pressling-" + std::to_string(ownerPid) + "-";
}

int OrphanedOffices::endAll()
{
    const std::string folder = LibreOfficeProfile::privateFolder();
    if (!platform::PrivateFolder::isPrivate(folder))
        return 0;
    int ended = 0;
    // Profiles that a process of ours still names; none of them is removed.
    std::set<std::string> inUse;
    for (pid_t pid : platform::ProcessHandle::all()) {
        platform::ProcessHandle process;
        if (!process.open(pid) || !process.runsAsUs())
            continue;
        OfficeArguments office = officeArguments(process.arguments());
        if (!platform::PrivateFolder::isDirectEntry(folder, office.profile, LibreOfficeProfile::namePrefix))
            continue;
        platform::LockedFolder profile;
        if (office.isOffice && office.hasOurPipe && takeAbandonedProfile(profile, office.profile)
            && endOffice(process, profile)) {
            profile.remove();
            ++ended;
        } else {
            inUse.insert(office.profile);
        }
    }
    removeAbandonedProfiles(folder, inUse);
    return ended;
}

}
