#include "shell/WindowGeometry.h"

WindowGeometry::Saved WindowGeometry::restore(const Profile& profile)
{
    Saved saved;
    profile.readGeometry(saved.x, saved.y, saved.width, saved.height);
    if (saved.x <= 0)
        saved.x = 0;
    if (saved.y <= 0)
        saved.y = 0;
    if (saved.width <= 0)
        saved.width = 600;
    if (saved.height <= 0)
        saved.height = 300;
    return saved;
}

bool WindowGeometry::mayBeSaved(const QRect& frame, const QSize& screen, bool maximizedOrMinimized)
{
    if (maximizedOrMinimized)
        return false;
    return frame.width() > 100 && frame.width() <= screen.width() && frame.height() > 100
        && frame.height() <= screen.height();
}

void WindowGeometry::save(const Profile& profile, const QRect& frame, const QSize& screen,
    bool maximizedOrMinimized, const TraceSink& trace)
{
    // The window system's edges: right and bottom lie just outside the window.
    Profile::Rectangle edges { frame.left(), frame.top(), frame.left() + frame.width(),
        frame.top() + frame.height() };
    trace.line("%d %d %d %d\n", edges.left, edges.top, edges.right, edges.bottom);
    if (mayBeSaved(frame, screen, maximizedOrMinimized)) {
        profile.writeGeometry(edges);
        trace.line("Saved x=%d y=%d w=%d h=%d\n", frame.left(), frame.top(), frame.width(), frame.height());
    }
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    profile.readGeometry(x, y, width, height);
    trace.line("Read x=%d y=%d w=%d h=%d\n", x, y, width, height);
}
