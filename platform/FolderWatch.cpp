#include "platform/FolderWatch.h"

#include <gio/gio.h>

namespace platform {

struct FolderWatch::Monitor {
    Listener& listener;
    GFile* folder = nullptr;
    GFileMonitor* monitor = nullptr;
    gulong handler = 0;
    bool gone = false;

    ~Monitor()
    {
        if (monitor) {
            // Disconnected first, so that nothing already on its way reaches a listener that
            // may be gone.
            g_signal_handler_disconnect(monitor, handler);
            g_file_monitor_cancel(monitor);
            g_object_unref(monitor);
        }
        if (folder)
            g_object_unref(folder);
    }

    static void changed(GFileMonitor*, GFile* file, GFile* other, GFileMonitorEvent event, gpointer data)
    {
        auto* self = static_cast<Monitor*>(data);
        if (self->gone)
            return;
        if (g_file_equal(file, self->folder)) {
            if (event == G_FILE_MONITOR_EVENT_DELETED || event == G_FILE_MONITOR_EVENT_MOVED_OUT
                || event == G_FILE_MONITOR_EVENT_RENAMED || event == G_FILE_MONITOR_EVENT_UNMOUNTED) {
                self->gone = true;
                self->listener.folderGone();
            }
            return;
        }
        self->tell(file);
        // A rename inside the folder names both the old entry and the new one.
        if (other && event == G_FILE_MONITOR_EVENT_RENAMED)
            self->tell(other);
    }

    void tell(GFile* file)
    {
        char* name = g_file_get_basename(file);
        if (name) {
            std::string entry(name);
            g_free(name);
            listener.entryChanged(entry);
        }
    }
};

FolderWatch::FolderWatch(std::unique_ptr<Monitor> monitor)
    : m_monitor(std::move(monitor))
{
}

FolderWatch::~FolderWatch() = default;

std::unique_ptr<FolderWatch> FolderWatch::start(const std::string& folder, Listener& listener)
{
    auto monitor = std::unique_ptr<Monitor>(new Monitor { listener });
    monitor->folder = g_file_new_for_path(folder.c_str());
    GError* error = nullptr;
    // Moves are watched so that a file renamed within the folder is told by both of its names
    // at once rather than as two unrelated events.
    monitor->monitor = g_file_monitor_directory(monitor->folder, G_FILE_MONITOR_WATCH_MOVES, nullptr, &error);
    if (!monitor->monitor) {
        g_clear_error(&error);
        return nullptr;
    }
    // Told at once: a rename and a write each count, and whoever listens gathers them.
    g_file_monitor_set_rate_limit(monitor->monitor, 100);
    monitor->handler
        = g_signal_connect(monitor->monitor, "changed", G_CALLBACK(Monitor::changed), monitor.get());
    return std::unique_ptr<FolderWatch>(new FolderWatch(std::move(monitor)));
}

}
