#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include <xcb/xcb.h>

// A program's side of a test display: it makes windows and gives them the properties that
// programs and window managers set, as they set them. Its windows go when it does.
class X11TestClient {
public:
    explicit X11TestClient(const std::string& display);
    X11TestClient(const X11TestClient&) = delete;
    X11TestClient& operator=(const X11TestClient&) = delete;
    ~X11TestClient();

    bool connected() const;
    xcb_window_t root() const { return m_root; }
    xcb_atom_t atom(const char* name) const;

    // An unmapped window; a child of the root when parent is 0.
    xcb_window_t create(xcb_window_t parent = 0, bool overrideRedirect = false);
    void map(xcb_window_t window);
    void unmap(xcb_window_t window);
    void destroy(xcb_window_t window);
    // Moves a window into another, as a window manager moves a client into its frame.
    void reparent(xcb_window_t window, xcb_window_t parent);
    void setText(xcb_window_t window, const char* name, const char* type, const std::string& bytes);
    void setNumbers(
        xcb_window_t window, const char* name, xcb_atom_t type, const std::vector<uint32_t>& values);
    // The window of an application: its class ("instance\0class\0"), title and process.
    xcb_window_t application(const std::string& windowClass, const std::string& title, uint32_t pid);
    // Waits until the server has carried out everything asked so far.
    void sync();

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
};
