#pragma once

#include <cstdint>

class QMimeData;
class QWidget;

// One drag of files out of the list. Qt's drag loop takes over the source's rules: Escape
// cancels the drag, releasing the buttons drops, and the cursor is the default one for the
// effect that the target chose.
class CDropSource {
public:
    explicit CDropSource(QWidget* dragSource);

    // Runs the drag of data (which the drag takes over) until it ends, and gives the effect that
    // the target reported: none for a cancel as for a target that did nothing or moved the
    // files itself.
    int32_t DoDragDrop(QMimeData* data, int32_t allowedEffects);

private:
    QWidget* m_dragSource;
};
