#include "platform/ApplicationWindows.h"

#include "platform/CodePageConverter.h"
#include "platform/ProcessAccount.h"
#include "platform/X11Display.h"

#include <algorithm>
#include <xcb/xcb.h>

namespace platform {

namespace {

using Window = X11Display::Window;

// Where a window manager puts a client into a frame, the client lies this many levels below
// the frame at most.
constexpr int deepestClient = 2;

// The window states a window manager records in WM_STATE.
constexpr uint32_t normalState = 1;
constexpr uint32_t iconicState = 3;

// The questions asked of one display in one look at its windows.
struct Survey {
    const X11Display& display;
    X11Display::Atom clientList;
    X11Display::Atom managerCheck;
    X11Display::Atom windowState;
    X11Display::Atom netName;
    X11Display::Atom utf8;
    X11Display::Atom netPid;
    std::string host;
    ProcessAccount accounts;
};

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Window classes are ASCII names; the user's locale has no say in how they compare.
bool equalIgnoringCase(std::string_view left, std::string_view right)
{
    return left.size() == right.size()
        && std::equal(left.begin(), left.end(), right.begin(),
            [](char a, char b) { return asciiLower(a) == asciiLower(b); });
}

std::string withoutTrailingNul(std::string text)
{
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

std::string latin1AsUtf8(const std::string& text)
{
    CodePageConverter converter;
    std::string converted(text.size() * 2, '\0');
    size_t written = 0;
    if (!converter.initialise("ISO-8859-1", "UTF-8")
        || !converter.convert(text.data(), text.size(), converted.data(), converted.size(), written))
        return text;
    converted.resize(written);
    return converted;
}

std::optional<Window> clientBelow(const Survey& survey, Window window, int levels)
{
    if (survey.display.property(window, survey.windowState, 16))
        return window;
    if (levels == 0)
        return std::nullopt;
    for (Window child : survey.display.children(window)) {
        if (auto client = clientBelow(survey, child, levels - 1))
            return client;
    }
    return std::nullopt;
}

// A window manager proves that it runs with a window of its own that names itself; a list of
// clients left on the root by one that has ended would miss every window opened since.
bool managerRuns(const Survey& survey, Window root)
{
    auto check = survey.display.numbers(root, survey.managerCheck, XCB_ATOM_WINDOW);
    if (!check || check->empty())
        return false;
    auto answer = survey.display.numbers(check->front(), survey.managerCheck, XCB_ATOM_WINDOW);
    return answer && !answer->empty() && answer->front() == check->front();
}

// The windows of the programs on one screen. A running window manager that keeps a list of
// them is believed; otherwise each top-level window is, or holds in its frame, one client window, the
// one that the window manager has given a state. Without a window manager nothing has a
// state, and the top-level windows are the clients themselves.
std::vector<Window> clientsOf(const Survey& survey, Window root)
{
    auto listed = survey.display.numbers(root, survey.clientList, XCB_ATOM_WINDOW);
    if (listed && managerRuns(survey, root))
        return *listed;
    std::vector<Window> clients;
    for (Window child : survey.display.children(root))
        clients.push_back(clientBelow(survey, child, deepestClient).value_or(child));
    return clients;
}

// A minimized window is still open, as one on another desktop is: where a window manager
// records the state, it decides; otherwise the window is shown when it is viewable.
bool isShown(const Survey& survey, Window window, const X11Display::Attributes& attributes)
{
    auto state = survey.display.numbers(window, survey.windowState, survey.windowState);
    if (state && !state->empty())
        return state->front() == normalState || state->front() == iconicState;
    return attributes.viewable;
}

bool belongsToAnotherWindow(const Survey& survey, Window window)
{
    auto owner = survey.display.numbers(window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW);
    return owner && !owner->empty() && owner->front() != XCB_WINDOW_NONE;
}

// A program on another host may show its windows here; its process number means nothing on
// this one. Host names compare as a host's short name and its full name.
bool runsOnAnotherHost(const Survey& survey, Window window)
{
    auto machine = survey.display.property(window, XCB_ATOM_WM_CLIENT_MACHINE, 1024);
    if (!machine)
        return false;
    std::string name = withoutTrailingNul(machine->bytes);
    auto shortName = [](const std::string& host) { return host.substr(0, host.find('.')); };
    return !equalIgnoringCase(name, survey.host)
        && !equalIgnoringCase(shortName(name), shortName(survey.host));
}

std::string titleOf(const Survey& survey, Window window)
{
    auto netName = survey.display.property(window, survey.netName);
    if (netName && netName->type == survey.utf8)
        return withoutTrailingNul(netName->bytes);
    auto name = survey.display.property(window, XCB_ATOM_WM_NAME);
    if (!name)
        return std::string();
    std::string text = withoutTrailingNul(name->bytes);
    return name->type == XCB_ATOM_STRING ? latin1AsUtf8(text) : text;
}

std::optional<pid_t> processOf(const Survey& survey, Window window)
{
    auto pid = survey.display.numbers(window, survey.netPid, XCB_ATOM_CARDINAL);
    if (!pid || pid->empty() || pid->front() == 0 || pid->front() > 0x7fffffffu)
        return std::nullopt;
    return static_cast<pid_t>(pid->front());
}

}

ApplicationWindows::ApplicationWindows(std::vector<std::string> classNames)
    : m_classNames(std::move(classNames))
{
}

std::optional<std::vector<OpenApplication>> ApplicationWindows::list(const char* displayName) const
{
    X11Display display(displayName);
    const Survey survey { display, display.atom("_NET_CLIENT_LIST"), display.atom("_NET_SUPPORTING_WM_CHECK"),
        display.atom("WM_STATE"), display.atom("_NET_WM_NAME"), display.atom("UTF8_STRING"),
        display.atom("_NET_WM_PID"), ProcessAccount::hostName(), ProcessAccount() };
    std::vector<OpenApplication> found;
    for (Window root : display.roots()) {
        for (Window window : clientsOf(survey, root)) {
            auto attributes = display.attributes(window);
            if (!attributes || attributes->overrideRedirect || !isShown(survey, window, *attributes)
                || belongsToAnotherWindow(survey, window))
                continue;
            auto windowClass = display.property(window, XCB_ATOM_WM_CLASS, 1024);
            auto matched = windowClass ? matchedClass(windowClass->bytes) : std::nullopt;
            if (!matched || runsOnAnotherHost(survey, window))
                continue;
            auto pid = processOf(survey, window);
            auto account = pid ? survey.accounts.accountOf(*pid) : std::nullopt;
            if (!account)
                continue;
            found.push_back({ titleOf(survey, window), *matched, *pid, *account, survey.host });
        }
    }
    // A display that could not be reached has shown nothing, and a connection that broke on
    // the way only part of the windows: neither is a look.
    if (!display.isOpen())
        return std::nullopt;
    return found;
}

// WM_CLASS holds the instance name and the class name, each ended by a NUL byte.
std::optional<std::string> ApplicationWindows::matchedClass(const std::string& windowClass) const
{
    size_t start = 0;
    while (start < windowClass.size()) {
        size_t end = std::min(windowClass.find('\0', start), windowClass.size());
        std::string_view part(windowClass.data() + start, end - start);
        for (const std::string& name : m_classNames) {
            if (!part.empty() && equalIgnoringCase(part, name))
                return name;
        }
        start = end + 1;
    }
    return std::nullopt;
}

}
