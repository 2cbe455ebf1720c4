#pragma once

#include <QObject>

// Counts the drag events that reach the widgets it watches, without taking any: a test waits on
// it to know that a drag from another program has really come over the list.
class DragEventCounter : public QObject {
public:
    int entered() const { return m_entered; }
    int moved() const { return m_moved; }
    int dropped() const { return m_dropped; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_entered = 0;
    int m_moved = 0;
    int m_dropped = 0;
};
