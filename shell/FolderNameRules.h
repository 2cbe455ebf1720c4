#pragma once

#include <QString>

// What a folder's new name must not be, without any message box or look at the disk.
namespace FolderNameRules {

// Why text cannot name a folder, in words the user can act on; empty when it can.
QString problemWith(const QString& text);

}
