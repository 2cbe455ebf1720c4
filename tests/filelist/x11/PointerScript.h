#pragma once

#include <QObject>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

// What a user does with the mouse and the keys, played through xdotool on the display, one step
// after the other. The steps are driven from the event loop rather than from the test's own
// code: a drag out of the list holds this process in the drag's loop until the button is
// released, and the script must go on inside it to release the button.
class PointerScript {
public:
    PointerScript();
    ~PointerScript();

    PointerScript& moveTo(QPoint point);
    PointerScript& press();
    PointerScript& release();
    // xdotool's key names: "ctrl", "Escape".
    PointerScript& keyDown(const QString& key);
    PointerScript& keyUp(const QString& key);
    PointerScript& tap(const QString& key);
    // A pause where nothing can be waited on: the time a person takes between two moves.
    PointerScript& pause(int ms);
    // Waits until condition holds; the script fails with what when it does not within timeoutMs.
    PointerScript& waitUntil(const QString& what, std::function<bool()> condition, int timeoutMs = 10000);
    // The press at from and a few short moves away from it, enough for a drag to start.
    PointerScript& pressAndPull(QPoint from);
    // A path from from to to in steps, with the time a hand takes between them.
    PointerScript& moveAlong(QPoint from, QPoint to);

    // Plays the steps in order; true when all of them ran. The buttons and keys that the
    // script pressed are released whatever happened.
    bool run(int timeoutMs = 60000);
    // Why the run stopped early.
    QString failure() const { return m_failure; }

private:
    struct Step {
        QStringList xdotool {};
        int pauseMs = 0;
        QString what {};
        std::function<bool()> condition {};
        int timeoutMs = 0;
    };

    PointerScript& add(Step step);
    void startStep();
    void nextStep();
    void fail(const QString& why);
    void releaseEverything();

    std::vector<Step> m_steps;
    size_t m_current = 0;
    bool m_done = false;
    QString m_failure;
    QStringList m_keysDown;
    bool m_buttonDown = false;
    std::unique_ptr<QProcess> m_tool;
    std::unique_ptr<QTimer> m_poll;
    qint64 m_deadline = 0;
    // The receiver of the script's timers: none fires after the script is gone.
    QObject m_context;
};
