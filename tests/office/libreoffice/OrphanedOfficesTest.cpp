#include "office/libreoffice/OrphanedOffices.h"
#include "office/libreoffice/LibreOfficeProfile.h"
#include "platform/ChildProcess.h"
#include "platform/LockedFolder.h"
#include "platform/PrivateFolder.h"
#include "platform/ProcessHandle.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <thread>
#include <unistd.h>

using namespace office;
using platform::ChildProcess;
using platform::ProcessHandle;
using namespace std::chrono_literals;

// Processes that look like orphaned offices to whoever reads their command lines: a starter
// shell that runs a program named soffice.bin with the arguments of an office of a Pressling
// that is gone, as a user might start by hand. The starter outlives the program, so that only
// a signal to its group ends it.
namespace {

enum class Where { OwnSession, TestGroup };
enum class User { Us, Nobody };

constexpr uid_t nobody = 65534;

std::string uniqueTag()
{
    std::random_device random;
    return std::to_string(random()) + std::to_string(random());
}

class Lookalike {
public:
    Lookalike(const std::string& profileUrl, Where where, User user)
        : m_tag(uniqueTag())
    {
        // An owner that is gone: pid 999999 is above the default pid limit of most systems.
        std::vector<std::string> argv;
        if (user == User::Nobody)
            argv = { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" };
        argv.insert(argv.end(),
            { "bash", "-c",
                "(exec -a soffice.bin /usr/bin/perl -e 'sleep 600' fake \"$@\") & wait; exec /usr/bin/perl "
                "-e 'sleep 600'",
                "starter", "--accept=pipe,name=pressling-999999-0-" + m_tag + ";urp;",
                "-env:UserInstallation=" + profileUrl });
        ChildProcess::Options options;
        options.newSession = where == Where::OwnSession;
        EXPECT_TRUE(m_starter.start(argv, options)) << m_starter.errorMessage();
        m_office = find();
    }
    ~Lookalike()
    {
        ProcessHandle office;
        if (m_office > 0 && office.open(m_office) && isOurFake(office))
            office.kill();
        m_starter.kill(0ms);
    }

    pid_t office() const { return m_office; }
    pid_t starter() const { return m_starter.pid(); }
    bool officeRuns() const
    {
        ProcessHandle office;
        return m_office > 0 && office.open(m_office) && isOurFake(office);
    }
    bool starterRuns() { return m_starter.isRunning(); }
    // Waits for the starter to end, as it does at once when its group is killed; false when it
    // still runs after half a minute.
    bool starterEnds() { return m_starter.waitFor(30s).outcome != ChildProcess::Outcome::TimedOut; }

private:
    bool isOurFake(const ProcessHandle& process) const
    {
        std::vector<std::string> arguments = process.arguments();
        return !arguments.empty() && arguments[0] == "soffice.bin"
            && std::any_of(arguments.begin(), arguments.end(),
                [&](const std::string& argument) { return argument.find(m_tag) != std::string::npos; });
    }

    pid_t find() const
    {
        for (int attempt = 0; attempt < 500; ++attempt) {
            for (pid_t pid : ProcessHandle::all()) {
                ProcessHandle process;
                if (process.open(pid) && isOurFake(process))
                    return pid;
            }
            std::this_thread::sleep_for(10ms);
        }
        ADD_FAILURE() << "the lookalike office did not start";
        return -1;
    }

    std::string m_tag;
    ChildProcess m_starter;
    pid_t m_office = -1;
};

// A folder beside the profiles that must survive whatever the lookalikes claim.
class Victim {
public:
    Victim()
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/victim-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        EXPECT_TRUE(mkdtemp(name.data()));
        m_path = name.data();
        std::ofstream(m_path + "/precious.txt") << "precious";
    }
    ~Victim() { std::filesystem::remove_all(m_path); }
    const std::string& path() const { return m_path; }
    std::string name() const { return std::filesystem::path(m_path).filename().string(); }
    bool intact() const { return std::filesystem::exists(m_path + "/precious.txt"); }

private:
    std::string m_path;
};

std::string privateFolder()
{
    std::string folder = LibreOfficeProfile::privateFolder();
    std::string error;
    EXPECT_TRUE(platform::PrivateFolder::ensure(folder, error)) << error;
    return folder;
}

// A fresh profile folder of ours, without the owner file that its maker writes once it holds
// the lock: as good as one being made, which nobody may take yet.
std::string profileFolder()
{
    std::string pattern = privateFolder() + "/" + LibreOfficeProfile::namePrefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    EXPECT_TRUE(mkdtemp(name.data()));
    return name.data();
}

// The profile as a crashed Pressling leaves it: no lock held, the process group of its office
// and then its owner file written in it.
void leaveAbandoned(const std::string& profile, pid_t group)
{
    std::ofstream(profile + "/" + LibreOfficeProfile::groupFile) << group << "\n";
    std::ofstream(profile + "/" + LibreOfficeProfile::ownerFile) << "999999\n";
}

// The way in that the old prefix test let through: a folder named like the start of ours,
// made by whoever got there first, and a path that climbs out of it.
class PrefixDecoy {
public:
    explicit PrefixDecoy(uid_t owner)
        : m_path(std::filesystem::temp_directory_path().string() + "/pressling-office-")
    {
        m_made = std::filesystem::create_directory(m_path);
        if (m_made && owner != geteuid()) {
            EXPECT_EQ(::chown(m_path.c_str(), owner, owner), 0);
        }
    }
    ~PrefixDecoy()
    {
        if (m_made)
            std::filesystem::remove(m_path);
    }
    std::string climbingTo(const Victim& victim) const { return "file://" + m_path + "/../" + victim.name(); }

private:
    std::string m_path;
    bool m_made = false;
};

}

// Catches trusting the command line of another user's process: as root its group would be
// killed and the folder its arguments climb to removed.
TEST(OrphanedOffices, AnotherUsersLookalikeIsNeitherKilledNorBelieved)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "another user's process can only be started as root here";
    Victim victim;
    PrefixDecoy decoy(nobody);
    Lookalike climbing(decoy.climbingTo(victim), Where::OwnSession, User::Nobody);
    Lookalike intoOurs("file://" + privateFolder() + "/../" + victim.name(), Where::OwnSession, User::Nobody);

    OrphanedOffices::endAll();
    EXPECT_TRUE(victim.intact()) << "the folder the arguments named was removed";
    for (Lookalike* lookalike : { &climbing, &intoOurs }) {
        EXPECT_TRUE(lookalike->officeRuns()) << "another user's process was killed";
        EXPECT_TRUE(lookalike->starterRuns()) << "another user's process group was killed";
    }
}

// Catches the profile path checked by its start only (a path climbing out with "..", a link in
// our folder under a profile's name), and the process group of a lookalike of our own user
// killed: the shell that started it, or the group the program itself runs in.
TEST(OrphanedOffices, OurOwnLookalikesSpareTheVictimAndTheirStarters)
{
    Victim victim;
    PrefixDecoy decoy(geteuid());
    std::string link = privateFolder() + "/" + LibreOfficeProfile::namePrefix + "L1nk00";
    std::filesystem::remove(link);
    std::filesystem::create_directory_symlink(victim.path(), link);
    Lookalike inOwnSession(decoy.climbingTo(victim), Where::OwnSession, User::Us);
    Lookalike inTestGroup(decoy.climbingTo(victim), Where::TestGroup, User::Us);
    Lookalike intoOurs("file://" + LibreOfficeProfile::privateFolder() + "/../" + victim.name(),
        Where::OwnSession, User::Us);
    Lookalike throughLink("file://" + link, Where::OwnSession, User::Us);

    OrphanedOffices::endAll();
    EXPECT_TRUE(victim.intact()) << "the folder the arguments named was removed";
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    for (Lookalike* lookalike : { &inOwnSession, &inTestGroup, &intoOurs, &throughLink }) {
        EXPECT_TRUE(lookalike->officeRuns()) << "a process whose profile is not ours was killed";
        EXPECT_TRUE(lookalike->starterRuns()) << "the starter's group was killed";
    }
    std::filesystem::remove(link);
}

// Catches the real case lost on the way: an office of ours whose Pressling is gone is ended
// with the group made for it, and its profile removed; one whose maker still holds its
// profile, and a profile being made (no owner file yet), are left alone.
TEST(OrphanedOffices, OrphanOfOursIsEndedWithItsGroupAndProfile)
{
    // The group is the starter's session, as the launcher's is; the profile records it.
    std::string orphanProfile = profileFolder();
    Lookalike orphan("file://" + orphanProfile, Where::OwnSession, User::Us);
    leaveAbandoned(orphanProfile, orphan.starter());

    // A group record that is not the group the office runs in (here its starter's number, in the
    // test's group): the office goes, no group is signalled.
    std::string elsewhereProfile = profileFolder();
    Lookalike elsewhere("file://" + elsewhereProfile, Where::TestGroup, User::Us);
    leaveAbandoned(elsewhereProfile, elsewhere.starter());

    platform::LockedFolder held;
    int error = 0;
    ASSERT_TRUE(held.create(privateFolder() + "/" + LibreOfficeProfile::namePrefix + "XXXXXX", error));
    std::ofstream(held.path() + "/" + LibreOfficeProfile::ownerFile) << getpid() << "\n";
    Lookalike live("file://" + held.path(), Where::OwnSession, User::Us);

    std::string beingMade = profileFolder();

    // Tests running beside this one may start an office, and end these orphans, first; what
    // counts is what is left afterwards.
    OrphanedOffices::endAll();
    EXPECT_FALSE(orphan.officeRuns());
    EXPECT_TRUE(orphan.starterEnds()) << "the orphan's group was not ended";
    EXPECT_FALSE(std::filesystem::exists(orphanProfile));
    EXPECT_FALSE(elsewhere.officeRuns());
    EXPECT_TRUE(elsewhere.starterRuns()) << "a group the office does not run in was killed";
    EXPECT_FALSE(std::filesystem::exists(elsewhereProfile));
    EXPECT_TRUE(live.officeRuns()) << "the office of a live maker was ended";
    EXPECT_TRUE(std::filesystem::exists(held.path() + "/" + LibreOfficeProfile::ownerFile));
    EXPECT_TRUE(std::filesystem::exists(beingMade)) << "a profile still being made was removed";
    std::filesystem::remove_all(beingMade);
    held.remove();
}
