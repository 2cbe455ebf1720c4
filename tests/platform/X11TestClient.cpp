#include "tests/platform/X11TestClient.h"

#include <cstdlib>
#include <cstring>

X11TestClient::X11TestClient(const std::string& display)
    : m_connection(xcb_connect(display.c_str(), nullptr))
{
    if (connected())
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

X11TestClient::~X11TestClient()
{
    xcb_disconnect(m_connection);
}

bool X11TestClient::connected() const
{
    return xcb_connection_has_error(m_connection) == 0;
}

xcb_atom_t X11TestClient::atom(const char* name) const
{
    auto cookie = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
    xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

xcb_window_t X11TestClient::create(xcb_window_t parent, bool overrideRedirect)
{
    xcb_window_t window = xcb_generate_id(m_connection);
    uint32_t values[] = { overrideRedirect ? 1u : 0u };
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, parent ? parent : m_root, 10, 10, 200, 100,
        0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT, values);
    return window;
}

void X11TestClient::map(xcb_window_t window)
{
    xcb_map_window(m_connection, window);
}

void X11TestClient::unmap(xcb_window_t window)
{
    xcb_unmap_window(m_connection, window);
}

void X11TestClient::destroy(xcb_window_t window)
{
    xcb_destroy_window(m_connection, window);
}

void X11TestClient::reparent(xcb_window_t window, xcb_window_t parent)
{
    xcb_reparent_window(m_connection, window, parent, 0, 0);
}

void X11TestClient::setText(xcb_window_t window, const char* name, const char* type, const std::string& bytes)
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(name), atom(type), 8,
        static_cast<uint32_t>(bytes.size()), bytes.data());
}

void X11TestClient::setNumbers(
    xcb_window_t window, const char* name, xcb_atom_t type, const std::vector<uint32_t>& values)
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(name), type, 32,
        static_cast<uint32_t>(values.size()), values.data());
}

xcb_window_t X11TestClient::application(
    const std::string& windowClass, const std::string& title, uint32_t pid)
{
    xcb_window_t window = create();
    setText(window, "WM_CLASS", "STRING", windowClass);
    setText(window, "_NET_WM_NAME", "UTF8_STRING", title);
    setNumbers(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, { pid });
    return window;
}

void X11TestClient::sync()
{
    // A request with a reply comes back only after every request before it has been handled.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}
