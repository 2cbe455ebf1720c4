#include "shell/OfficeCheck.h"

#include "shell/OfficeCheckWindow.h"
#include "shell/StartupCancel.h"

bool startupCheckCancelled(OfficeApplicationMonitor::Listing listing)
{
    StartupCancel::clear();
    OfficeCheckWindow window(Qt::WindowMinimized, std::move(listing));
    window.runCheck();
    return StartupCancel::isSet();
}
