#pragma once

#include "foundation/Profile.h"
#include "foundation/TraceSink.h"

#include <QRect>
#include <QSize>

#include <cstdint>

// The main window's place and size between runs, kept as "Geometry" under "Windows" of the
// program's profile key, with the rules that keep a bad value from hiding the window.
class WindowGeometry {
public:
    struct Saved {
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };

    // What the window opens at: the stored geometry with an edge left of or above the screen put
    // at 0, and a missing or unusable width or height replaced by 600 or 300. A first run (no
    // value at all) therefore opens at (0,0), 600 by 300.
    static Saved restore(const Profile& profile);

    // Whether a window whose outer rectangle is frame may be stored: wider and higher than 100
    // pixels and no larger than the screen. A maximized, full-screen or minimized window keeps
    // the geometry stored before, as its size says nothing about where the user wants it.
    static bool mayBeSaved(const QRect& frame, const QSize& screen, bool maximizedOrMinimized);

    // Stores frame when it may be saved and leaves the trace lines of the save in trace: the
    // edges, what was saved, and what reads back.
    static void save(const Profile& profile, const QRect& frame, const QSize& screen,
        bool maximizedOrMinimized, const TraceSink& trace);
};
