#include "office/libreoffice/OrphanedOffices.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace office {

namespace {

const std::string pipeMarker = "pipe,name=pressling-";
const std::string profileMarker = "-env:UserInstallation=file://";

std::vector<std::string> argumentsOf(long pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos)
            end = text.size();
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

// The process group of pid, from /proc/pid/stat (the fifth field, after the command's
// parentheses).
pid_t processGroupOf(long pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(file, line);
    size_t close = line.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::string state;
    long parent = 0;
    long group = -1;
    std::istringstream fields(line.substr(close + 1));
    fields >> state >> parent >> group;
    return static_cast<pid_t>(group);
}

bool processExists(long pid)
{
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// Profile folders whose maker is gone, left when a process died after its office had ended.
void removeAbandonedProfiles(const std::string& prefix)
{
    std::filesystem::path folder = std::filesystem::path(prefix).parent_path();
    std::string stem = std::filesystem::path(prefix).filename().string();
    std::error_code failure;
    for (const auto& entry : std::filesystem::directory_iterator(folder, failure)) {
        if (entry.path().filename().string().rfind(stem, 0) != 0)
            continue;
        std::ifstream ownerFile(entry.path() / "owner");
        long owner = 0;
        if (!(ownerFile >> owner) || owner == getpid() || processExists(owner))
            continue;
        std::error_code ignored;
        std::filesystem::remove_all(entry.path(), ignored);
    }
}

}

std::string OrphanedOffices::pipePrefix(long ownerPid)
{
    return "pressling-" + std::to_string(ownerPid) + "-";
}

int OrphanedOffices::endAll()
{
    int ended = 0;
    DIR* proc = opendir("/proc");
    if (!proc)
        return 0;
    std::string temporary = std::filesystem::temp_directory_path().string() + "/pressling-office-";
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end)
            continue;
        std::vector<std::string> arguments = argumentsOf(pid);
        if (arguments.empty() || arguments[0].find("soffice.bin") == std::string::npos)
            continue;
        long owner = 0;
        std::string profile;
        for (const std::string& argument : arguments) {
            size_t at = argument.find(pipeMarker);
            if (at != std::string::npos)
                owner = std::strtol(argument.c_str() + at + pipeMarker.size(), nullptr, 10);
            if (argument.rfind(profileMarker, 0) == 0)
                profile = argument.substr(profileMarker.size());
        }
        if (owner <= 0 || owner == getpid() || processExists(owner))
            continue;
        pid_t group = processGroupOf(pid);
        // Only a group of its own (the session we gave it) is ours to end.
        if (group > 1 && group != getpgrp())
            kill(-group, SIGKILL);
        kill(static_cast<pid_t>(pid), SIGKILL);
        if (profile.rfind(temporary, 0) == 0) {
            std::error_code ignored;
            std::filesystem::remove_all(profile, ignored);
        }
        ++ended;
    }
    closedir(proc);
    removeAbandonedProfiles(temporary);
    return ended;
}

}
