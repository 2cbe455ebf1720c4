#include "PointerScript.h"

#include "ToolRun.h"

#include <QDateTime>
#include <QTest>

namespace {

constexpr int ConditionPollMs = 20;
constexpr int StepsOfAPath = 6;
constexpr int PauseBetweenMovesMs = 60;

}

PointerScript::PointerScript() = default;

PointerScript::~PointerScript()
{
    releaseEverything();
}

PointerScript& PointerScript::add(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

PointerScript& PointerScript::moveTo(QPoint point)
{
    return add({ .xdotool = { "mousemove", QString::number(point.x()), QString::number(point.y()) } });
}

PointerScript& PointerScript::press()
{
    return add({ .xdotool = { "mousedown", "1" } });
}

PointerScript& PointerScript::release()
{
    return add({ .xdotool = { "mouseup", "1" } });
}

PointerScript& PointerScript::keyDown(const QString& key)
{
    return add({ .xdotool = { "keydown", key } });
}

PointerScript& PointerScript::keyUp(const QString& key)
{
    return add({ .xdotool = { "keyup", key } });
}

PointerScript& PointerScript::tap(const QString& key)
{
    return add({ .xdotool = { "key", key } });
}

PointerScript& PointerScript::pause(int ms)
{
    return add({ .pauseMs = ms });
}

PointerScript& PointerScript::waitUntil(const QString& what, std::function<bool()> condition, int timeoutMs)
{
    return add({ .what = what, .condition = std::move(condition), .timeoutMs = timeoutMs });
}

PointerScript& PointerScript::pressAndPull(QPoint from)
{
    moveTo(from).pause(PauseBetweenMovesMs).press().pause(PauseBetweenMovesMs);
    for (int offset : { 4, 12, 24 })
        moveTo(from + QPoint(offset, offset / 2)).pause(PauseBetweenMovesMs);
    return *this;
}

PointerScript& PointerScript::moveAlong(QPoint from, QPoint to)
{
    for (int step = 1; step <= StepsOfAPath; ++step)
        moveTo(from + (to - from) * step / StepsOfAPath).pause(PauseBetweenMovesMs);
    return *this;
}

bool PointerScript::run(int timeoutMs)
{
    m_current = 0;
    m_done = false;
    m_failure.clear();
    QTimer::singleShot(0, &m_context, [this] { startStep(); });
    if (!QTest::qWaitFor([this] { return m_done; }, timeoutMs))
        fail(QStringLiteral("the script did not end within %1 ms").arg(timeoutMs));
    releaseEverything();
    return m_failure.isEmpty();
}

void PointerScript::startStep()
{
    if (m_done)
        return;
    if (m_current == m_steps.size()) {
        m_done = true;
        return;
    }
    const Step& step = m_steps[m_current];
    if (!step.xdotool.isEmpty()) {
        const QString& command = step.xdotool.first();
        if (command == "mousedown")
            m_buttonDown = true;
        else if (command == "mouseup")
            m_buttonDown = false;
        else if (command == "keydown")
            m_keysDown << step.xdotool.last();
        else if (command == "keyup")
            m_keysDown.removeAll(step.xdotool.last());
        m_tool = std::make_unique<QProcess>();
        QObject::connect(
            m_tool.get(), &QProcess::finished, &m_context, [this](int exitCode, QProcess::ExitStatus status) {
                if (status != QProcess::NormalExit || exitCode != 0)
                    fail("xdotool " + m_steps[m_current].xdotool.join(' ')
                        + " failed: " + QString::fromUtf8(m_tool->readAllStandardError()));
                else
                    nextStep();
            });
        QObject::connect(
            m_tool.get(), &QProcess::errorOccurred, &m_context, [this](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart)
                    fail(QStringLiteral("xdotool cannot be started; is it installed?"));
            });
        m_tool->start(QStringLiteral("xdotool"), step.xdotool);
        return;
    }
    if (step.condition) {
        m_deadline = QDateTime::currentMSecsSinceEpoch() + step.timeoutMs;
        m_poll = std::make_unique<QTimer>();
        QObject::connect(m_poll.get(), &QTimer::timeout, &m_context, [this] {
            const Step& waiting = m_steps[m_current];
            if (waiting.condition()) {
                m_poll->stop();
                nextStep();
            } else if (QDateTime::currentMSecsSinceEpoch() > m_deadline) {
                m_poll->stop();
                fail(QStringLiteral("waited in vain %1 ms for %2").arg(waiting.timeoutMs).arg(waiting.what));
            }
        });
        m_poll->start(ConditionPollMs);
        return;
    }
    QTimer::singleShot(step.pauseMs, &m_context, [this] { nextStep(); });
}

// The next step starts from the event loop, so that the finished process or the timer of this
// one is no longer in its own signal when it is replaced.
void PointerScript::nextStep()
{
    ++m_current;
    QTimer::singleShot(0, &m_context, [this] { startStep(); });
}

// A failure inside a drag of this process must still end the drag, or the drag's loop would
// never hand control back: the button goes up at once, without waiting in this loop.
void PointerScript::fail(const QString& why)
{
    if (m_done)
        return;
    m_failure = why;
    m_done = true;
    if (m_buttonDown)
        QProcess::startDetached(QStringLiteral("xdotool"), { "mouseup", "1" });
}

// A button or key left down would follow every later test on the display.
void PointerScript::releaseEverything()
{
    if (m_buttonDown)
        ToolRun::of(QStringLiteral("xdotool"), { "mouseup", "1" });
    m_buttonDown = false;
    for (const QString& key : m_keysDown)
        ToolRun::of(QStringLiteral("xdotool"), { "keyup", key });
    m_keysDown.clear();
}
