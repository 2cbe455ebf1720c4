#pragma once

#include <cstdint>
#include <functional>

class QMimeData;
class QWidget;

// One drag of files out of the list. Qt's drag loop takes over the source's rules: Escape
// cancels the drag, releasing the buttons drops, and the cursor is the default one for the
// effect that the target chose.
class CDropSource {
public:
    explicit CDropSource(QWidget* dragSource);

    // Runs the drag of data (which the drag takes over) until the drop, and gives the effect that
    // the target reported: none for a cancel as for a target that did nothing or moved the
    // files itself. Over X11 the drag returns once the drop is sent, with the target's last
    // answer while the files were over it, and the target takes the files only afterwards:
    // finished runs when the target has said that it is done with them (or has given up
    // answering).
    int32_t DoDragDrop(QMimeData* data, int32_t allowedEffects, std::function<void()> finished);

private:
    QWidget* m_dragSource;
};
