#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where a dialog opens: centred on its owner's outer rectangle (at the screen's origin without
// an owner), then moved back so that it never leaves the screen: a far edge beyond the screen
// meets the screen's edge, and a near edge before it is put on it.
QPoint centredDialogPosition(const QSize& dialog, const std::optional<QRect>& owner, const QRect& screen);
