#include "DesktopProgram.h"

#include <QProcessEnvironment>
#include <QTest>

#include <fstream>
#include <sstream>

namespace {

struct Tool {
    int exitCode = -1;
    QByteArray output;
};

Tool runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.closeWriteChannel();
    Tool tool;
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(2000);
        return tool;
    }
    tool.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    tool.output = process.readAllStandardOutput();
    return tool;
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}

DesktopProgram::DesktopProgram()
{
    m_home.write("Documents/.keep", "");
    m_home.write(".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n");
    m_settings = "REGEDIT4\n\n";
    addSettings("Software\\Tarnwick\\Application\\pressling\\Log",
        "\"dir\"=\"" + m_home.file("log") + "\"\n\"level\"=dword:00000002\n");
}

DesktopProgram::~DesktopProgram()
{
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

std::string DesktopProgram::settings() const
{
    return readText(registryFile());
}

void DesktopProgram::addSettings(const std::string& key, const std::string& values)
{
    m_settings = settings().empty() ? m_settings : settings();
    m_settings += "\n[HKEY_CURRENT_USER\\" + key + "]\n" + values;
    m_home.write(".registry/user.reg", m_settings);
}

bool DesktopProgram::start(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", QString::fromStdString(m_home.path()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(m_home.file(".config")));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(m_home.file(".local/share")));
    environment.insert("XDG_CACHE_HOME", QString::fromStdString(m_home.file(".cache")));
    environment.insert("PRESSLING_REGISTRY_DIR", QString::fromStdString(m_home.file(".registry")));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("XDG_SESSION_TYPE", "x11");
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(QString::fromStdString(m_home.path()));
    m_output.clear();
    m_errors.clear();
    m_process.start(QStringLiteral(PRESSLING_PROGRAM_PATH), arguments);
    m_process.closeWriteChannel();
    return m_process.waitForStarted(10000);
}

std::optional<int> DesktopProgram::waitForExit(int timeoutMs)
{
    if (!QTest::qWaitFor([this] { return !isRunning(); }, timeoutMs))
        return std::nullopt;
    if (m_process.exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process.exitCode();
}

QByteArray DesktopProgram::standardOutput()
{
    m_output += m_process.readAllStandardOutput();
    return m_output;
}

QByteArray DesktopProgram::standardError()
{
    m_errors += m_process.readAllStandardError();
    return m_errors;
}

std::vector<std::string> DesktopProgram::logLines() const
{
    std::vector<std::string> lines;
    std::istringstream text(readText(m_home.file("log/pressling.log")));
    std::string line;
    while (std::getline(text, line)) {
        // "date time Level: message": the message follows the level's tag.
        size_t tag = line.find(": ");
        lines.push_back(tag == std::string::npos ? line : line.substr(tag + 2));
    }
    return lines;
}

std::vector<unsigned long> windowsTitled(const QString& pattern)
{
    Tool search = runTool("xdotool", { "search", "--onlyvisible", "--name", pattern });
    std::vector<unsigned long> windows;
    for (const QByteArray& line : search.output.split('\n')) {
        if (!line.trimmed().isEmpty())
            windows.push_back(line.trimmed().toULong());
    }
    return windows;
}

unsigned long waitForWindowTitled(const QString& pattern, int timeoutMs)
{
    unsigned long found = 0;
    bool came = QTest::qWaitFor(
        [&] {
            std::vector<unsigned long> windows = windowsTitled(pattern);
            found = windows.size() == 1 ? windows.front() : 0;
            return found != 0;
        },
        timeoutMs);
    return came ? found : 0;
}

QRect windowGeometry(unsigned long window)
{
    Tool geometry = runTool("xdotool", { "getwindowgeometry", "--shell", QString::number(window) });
    QRect rectangle;
    for (const QByteArray& line : geometry.output.split('\n')) {
        QList<QByteArray> pair = line.split('=');
        if (pair.size() != 2)
            continue;
        int value = pair[1].toInt();
        if (pair[0] == "X")
            rectangle.moveLeft(value);
        else if (pair[0] == "Y")
            rectangle.moveTop(value);
        else if (pair[0] == "WIDTH")
            rectangle.setWidth(value);
        else if (pair[0] == "HEIGHT")
            rectangle.setHeight(value);
    }
    return rectangle;
}

QString windowTitle(unsigned long window)
{
    return QString::fromUtf8(runTool("xdotool", { "getwindowname", QString::number(window) }).output.trimmed());
}
