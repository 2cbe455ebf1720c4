// Another program on the same display, for the file list's drag and drop tests: the far end of a
// drag, as a file manager would be.
//
//   pressling-drag-peer source --geometry X,Y,W,H FILE...
//       A press and a move in the window drag the files out (copy or move allowed, move unless
//       Ctrl is held). Prints "started" when the drag begins and "result N" with the action
//       that the drag returned, then exits once the target has taken the files.
//   pressling-drag-peer target --geometry X,Y,W,H [--move-to DIR]
//       Takes one drop of files. Prints "enter action=N" when a drag of files comes over the
//       window, "leave" when it goes away undropped, and "drop action=N urls=U1 U2..." (the
//       action offered, the URLs encoded) when it is dropped. With --move-to it moves the files
//       into DIR itself and answers the drop with no action, as a file manager that moves files
//       on its own does; otherwise it takes the offered action. Exits after the drop.
//
// Both print "ready X,Y,W,H" (where the window really is) once the window is on the screen, and
// give up with "timeout" after 30 seconds. The windows never take the keyboard focus, so that
// the keys a test presses during a drag reach the program it is testing.
#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int GiveUpAfterMs = 30000;
constexpr int LingerAfterDropMs = 10000;

void say(const QByteArray& line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QByteArray encodedUrls(const QList<QUrl>& urls)
{
    QByteArrayList encoded;
    for (const QUrl& url : urls)
        encoded << url.toEncoded();
    return encoded.join(' ');
}

// The window of either mode: placed where the test points, kept off the keyboard.
class PeerWindow : public QWidget {
public:
    explicit PeerWindow(const QRect& geometry)
    {
        setWindowFlag(Qt::WindowDoesNotAcceptFocus);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setGeometry(geometry);
    }

    // Prints "ready" once the window is mapped and drawn, polling because a window manager may
    // take its time.
    void showAndAnnounce()
    {
        show();
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll] {
            if (!windowHandle() || !windowHandle()->isExposed())
                return;
            poll->stop();
            QRect where(mapToGlobal(QPoint(0, 0)), size());
            say(QStringLiteral("ready %1,%2,%3,%4")
                    .arg(where.x())
                    .arg(where.y())
                    .arg(where.width())
                    .arg(where.height())
                    .toUtf8());
        });
        poll->start(20);
    }
};

class DragSourceWindow : public PeerWindow {
public:
    DragSourceWindow(const QRect& geometry, const QStringList& files)
        : PeerWindow(geometry)
        , m_files(files)
    {
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_pressedAt = event->position().toPoint();
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!m_pressedAt || !(event->buttons() & Qt::LeftButton))
            return;
        if ((event->position().toPoint() - *m_pressedAt).manhattanLength()
            < QApplication::startDragDistance())
            return;
        m_pressedAt.reset();
        dragFiles();
    }

private:
    void dragFiles()
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& file : m_files)
            urls << QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
        data->setUrls(urls);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        say("started");
        // The drop returns before the target has read the files' names: over X11 the target
        // asks for them afterwards, and this program serves them until the drag object goes,
        // which the platform deletes when the target says it has finished.
        connect(drag, &QObject::destroyed, qApp, [] { QCoreApplication::exit(0); });
        Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
        say("result " + QByteArray::number(static_cast<int>(result)));
        QTimer::singleShot(LingerAfterDropMs, qApp, [] { QCoreApplication::exit(0); });
    }

    QStringList m_files;
    std::optional<QPoint> m_pressedAt;
};

class DropTargetWindow : public PeerWindow {
public:
    DropTargetWindow(const QRect& geometry, const QString& moveTo)
        : PeerWindow(geometry)
        , m_moveTo(moveTo)
    {
        setAcceptDrops(true);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (!event->mimeData()->hasUrls())
            return;
        say("enter action=" + QByteArray::number(static_cast<int>(event->proposedAction())));
        event->acceptProposedAction();
    }

    void dragLeaveEvent(QDragLeaveEvent*) override { say("leave"); }

    void dragMoveEvent(QDragMoveEvent* event) override
    {
        if (event->mimeData()->hasUrls())
            event->acceptProposedAction();
    }

    void dropEvent(QDropEvent* event) override
    {
        QList<QUrl> urls = event->mimeData()->urls();
        say("drop action=" + QByteArray::number(static_cast<int>(event->proposedAction()))
            + " urls=" + encodedUrls(urls));
        if (m_moveTo.isEmpty()) {
            event->acceptProposedAction();
        } else {
            moveFiles(urls);
            event->setDropAction(Qt::IgnoreAction);
            event->accept();
        }
        // The answer to the source goes out when this handler has returned.
        QTimer::singleShot(200, qApp, [] { QCoreApplication::exit(0); });
    }

private:
    void moveFiles(const QList<QUrl>& urls) const
    {
        for (const QUrl& url : urls) {
            QString source = url.toLocalFile();
            QString destination = QDir(m_moveTo).filePath(QFileInfo(source).fileName());
            if (!QFile::rename(source, destination))
                say("cannot move " + source.toUtf8());
        }
    }

    QString m_moveTo;
};

std::optional<QRect> parseGeometry(const QString& text)
{
    QStringList parts = text.split(',');
    if (parts.size() != 4)
        return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

struct Arguments {
    QString mode;
    QRect geometry;
    QString moveTo;
    QStringList files;
};

std::optional<Arguments> parseArguments(QStringList arguments)
{
    Arguments parsed;
    if (arguments.size() < 3 || arguments[1] != "--geometry")
        return std::nullopt;
    parsed.mode = arguments[0];
    std::optional<QRect> geometry = parseGeometry(arguments[2]);
    if (!geometry)
        return std::nullopt;
    parsed.geometry = *geometry;
    arguments = arguments.mid(3);
    if (parsed.mode == "source" && !arguments.isEmpty()) {
        parsed.files = arguments;
        return parsed;
    }
    if (parsed.mode == "target" && arguments.isEmpty())
        return parsed;
    if (parsed.mode == "target" && arguments.size() == 2 && arguments[0] == "--move-to") {
        parsed.moveTo = arguments[1];
        return parsed;
    }
    return std::nullopt;
}

}

int main(int argc, char** argv)
{
    // Qt takes "--geometry" as its own X11 option and removes it, so the arguments are read
    // before the application sees them, and it gets none.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    std::optional<Arguments> arguments = parseArguments(rawArguments);
    if (!arguments) {
        std::fputs("usage: pressling-drag-peer source --geometry X,Y,W,H FILE...\n"
                   "       pressling-drag-peer target --geometry X,Y,W,H [--move-to DIR]\n",
            stderr);
        return 2;
    }
    std::unique_ptr<PeerWindow> window;
    if (arguments->mode == "source")
        window = std::make_unique<DragSourceWindow>(arguments->geometry, arguments->files);
    else
        window = std::make_unique<DropTargetWindow>(arguments->geometry, arguments->moveTo);
    window->setWindowTitle("pressling-drag-peer " + arguments->mode);
    window->showAndAnnounce();
    QTimer::singleShot(GiveUpAfterMs, &application, [] {
        say("timeout");
        QCoreApplication::exit(3);
    });
    return application.exec();
}
