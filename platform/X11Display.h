#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct xcb_connection_t;

namespace platform {

// A connection to an X display and the few questions asked of its windows. Every question
// waits for the server's answer; a window that has gone meanwhile answers nothing, as one that
// never was.
class X11Display {
public:
    using Window = uint32_t;
    using Atom = uint32_t;

    // What a window property holds: its type, its unit size in bits and its bytes.
    struct Property {
        Atom type = 0;
        int format = 0;
        std::string bytes;
    };

    // name as DISPLAY writes it; null for DISPLAY itself.
    explicit X11Display(const char* name);
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;
    ~X11Display();

    // False when there was no display to connect to or the connection has broken.
    bool isOpen() const;

    // The root window of each screen.
    std::vector<Window> roots() const;
    // The atom of a name, or 0 when the server has none by that name yet (so that no window
    // can carry it).
    Atom atom(const char* name) const;
    // The children of a window, lowest first.
    std::vector<Window> children(Window window) const;
    // How a window is shown: viewable when it and all its ancestors are mapped; an
    // override-redirect window (a menu, a tooltip) is placed by its program and passes the
    // window manager by. Nothing when the window does not exist.
    struct Attributes {
        bool viewable = false;
        bool overrideRedirect = false;
    };
    std::optional<Attributes> attributes(Window window) const;
    // A property of at most longest bytes; nothing when the window does not have it.
    std::optional<Property> property(Window window, Atom name, uint32_t longest = 64 * 1024) const;
    // The 32-bit values of a property of the given type; nothing when the window has no
    // such property.
    std::optional<std::vector<uint32_t>> numbers(Window window, Atom name, Atom type) const;

private:
    xcb_connection_t* m_connection = nullptr;
};

}
