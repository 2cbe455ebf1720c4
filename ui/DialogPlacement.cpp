#include "ui/DialogPlacement.h"

QPoint centredDialogPosition(const QSize& dialog, const std::optional<QRect>& owner, const QRect& screen)
{
    QPoint position = screen.topLeft();
    if (owner) {
        position = QPoint(owner->left() + (owner->width() - dialog.width()) / 2,
            owner->top() + (owner->height() - dialog.height()) / 2);
    }
    const int screenRight = screen.left() + screen.width();
    const int screenBottom = screen.top() + screen.height();
    if (position.x() + dialog.width() > screenRight)
        position.setX(screenRight - dialog.width());
    if (position.y() + dialog.height() > screenBottom)
        position.setY(screenBottom - dialog.height());
    if (position.x() < screen.left())
        position.setX(screen.left());
    if (position.y() < screen.top())
        position.setY(screen.top());
    return position;
}
