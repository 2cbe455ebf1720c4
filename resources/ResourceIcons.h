#pragma once

#include <QIcon>
#include <QPixmap>

// The program's icons, addressed by their resource identifiers.
namespace ResourceIcons {

constexpr int PublishingNotifier = 130;
constexpr int Success = 135;
constexpr int Failure = 136;

// The icon of that identifier drawn at size x size pixels; a null pixmap for an unknown one.
QPixmap pixmap(int identifier, int size = 16);
QIcon icon(int identifier);

}
