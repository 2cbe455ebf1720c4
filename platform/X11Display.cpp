#include "platform/X11Display.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace platform {

namespace {

// xcb hands every reply and error over to the caller, who frees them with free().
template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> Owned<Reply> owned(Reply* reply, xcb_generic_error_t* error)
{
    std::free(error);
    return Owned<Reply>(reply, &std::free);
}

}

X11Display::X11Display(const char* name)
    : m_connection(xcb_connect(name, nullptr))
{
}

X11Display::~X11Display()
{
    // A failed connection is an object of its own that must be given back too.
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11Display::isOpen() const
{
    return m_connection && xcb_connection_has_error(m_connection) == 0;
}

std::vector<X11Display::Window> X11Display::roots() const
{
    std::vector<Window> found;
    if (!isOpen())
        return found;
    for (auto screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)); screen.rem;
         xcb_screen_next(&screen))
        found.push_back(screen.data->root);
    return found;
}

X11Display::Atom X11Display::atom(const char* name) const
{
    if (!isOpen())
        return 0;
    xcb_generic_error_t* error = nullptr;
    auto cookie = xcb_intern_atom(m_connection, 1, static_cast<uint16_t>(std::strlen(name)), name);
    auto reply = owned(xcb_intern_atom_reply(m_connection, cookie, &error), error);
    return reply ? reply->atom : 0;
}

std::vector<X11Display::Window> X11Display::children(Window window) const
{
    std::vector<Window> found;
    if (!isOpen())
        return found;
    xcb_generic_error_t* error = nullptr;
    auto reply
        = owned(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), &error), error);
    if (!reply)
        return found;
    const xcb_window_t* child = xcb_query_tree_children(reply.get());
    found.assign(child, child + xcb_query_tree_children_length(reply.get()));
    return found;
}

std::optional<X11Display::Attributes> X11Display::attributes(Window window) const
{
    if (!isOpen())
        return std::nullopt;
    xcb_generic_error_t* error = nullptr;
    auto reply = owned(xcb_get_window_attributes_reply(
                           m_connection, xcb_get_window_attributes(m_connection, window), &error),
        error);
    if (!reply)
        return std::nullopt;
    return Attributes { reply->map_state == XCB_MAP_STATE_VIEWABLE, reply->override_redirect != 0 };
}

std::optional<X11Display::Property> X11Display::property(Window window, Atom name, uint32_t longest) const
{
    if (!isOpen() || name == 0)
        return std::nullopt;
    // The length is asked for in 32-bit units.
    auto cookie = xcb_get_property(m_connection, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, longest / 4);
    xcb_generic_error_t* error = nullptr;
    auto reply = owned(xcb_get_property_reply(m_connection, cookie, &error), error);
    if (!reply || reply->type == XCB_ATOM_NONE)
        return std::nullopt;
    Property found;
    found.type = reply->type;
    found.format = reply->format;
    const char* value = static_cast<const char*>(xcb_get_property_value(reply.get()));
    found.bytes.assign(value, static_cast<size_t>(xcb_get_property_value_length(reply.get())));
    return found;
}

std::optional<std::vector<uint32_t>> X11Display::numbers(Window window, Atom name, Atom type) const
{
    std::optional<Property> found = property(window, name, 1024 * 1024);
    if (!found || found->type != type || found->format != 32)
        return std::nullopt;
    std::vector<uint32_t> values(found->bytes.size() / sizeof(uint32_t));
    std::memcpy(values.data(), found->bytes.data(), values.size() * sizeof(uint32_t));
    return values;
}

}
