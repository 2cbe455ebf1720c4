#include "office/libreoffice/LibreOfficeSuite.h"

#include "foundation/Log.h"
#include "office/ComError.h"
#include "office/libreoffice/UnoText.h"

#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>

#include <cstdlib>
#include <sys/stat.h>

using namespace css;

namespace office {

LibreOfficeSuite::LibreOfficeSuite()
    : m_timeouts(defaultTimeouts())
{
    const VaultrixRegistry settings;
    m_sandboxSetting = settings.getSandboxSetting();
    m_pdfArchivePart = settings.getPdfArchive();
}

LibreOfficeSuite::~LibreOfficeSuite()
{
    shutDown();
}

LibreOfficeSuite::Timeouts LibreOfficeSuite::defaultTimeouts()
{
    Timeouts timeouts;
    if (const char* text = std::getenv("PRESSLING_OFFICE_TIMEOUT_MS"); text && *text) {
        char* end = nullptr;
        long value = std::strtol(text, &end, 10);
        if (value > 0 && !*end)
            timeouts.base = std::chrono::milliseconds(value);
    }
    return timeouts;
}

void LibreOfficeSuite::setTimeouts(const Timeouts& timeouts)
{
    std::lock_guard lock(m_mutex);
    m_timeouts = timeouts;
}

LibreOfficeSuite::Timeouts LibreOfficeSuite::timeouts()
{
    std::lock_guard lock(m_mutex);
    return m_timeouts;
}

std::chrono::milliseconds LibreOfficeSuite::timeoutForFile(const std::string& path)
{
    Timeouts current = timeouts();
    struct stat status { };
    long long bytes = stat(path.c_str(), &status) == 0 ? status.st_size : 0;
    return current.base + current.perMegabyte * (bytes / (1024 * 1024));
}

std::shared_ptr<LibreOfficeInstance> LibreOfficeSuite::instance()
{
    std::lock_guard lock(m_mutex);
    if (m_instance && m_instance->isAlive())
        return m_instance;
    if (m_instance) {
        // Whatever is left of an office that died goes before its successor starts.
        m_instance->terminate(std::chrono::milliseconds(0));
        m_instance.reset();
    }
    auto fresh = std::make_shared<LibreOfficeInstance>();
    bool sandboxed = false;
    try {
        sandboxed = chooseSandbox();
        // An office that opens its pipe and then hangs would block the connection for good; the
        // start retries only until its own deadline, this guards the calls inside it.
        WatchdogScope watchdog(
            m_watchdog, m_timeouts.start + std::chrono::seconds(5), [fresh] { fresh->kill(); });
        fresh->start(m_timeouts.start, sandboxed);
        if (watchdog.finish()) {
            fresh->terminate(std::chrono::milliseconds(0));
            throw ComError(
                hresult::serverExecutionFailure, "LibreOffice hung while starting and was stopped");
        }
    } catch (const ComError& error) {
        // Nobody but the user can mend what keeps an office from starting, so it is said.
        tell(error.description().empty() ? error.errorMessage() : error.description());
        throw;
    }
    m_sandboxed = sandboxed;
    m_instance = fresh;
    ++m_startCount;
    return m_instance;
}

bool LibreOfficeSuite::chooseSandbox()
{
    if (m_sandboxSetting == VaultrixRegistry::SandboxSetting::Off)
        return false;
    platform::Sandbox::Support support = m_sandboxSupport();
    if (support.available)
        return true;
    if (m_sandboxSetting == VaultrixRegistry::SandboxSetting::Required) {
        std::string text = "the office must run in a network sandbox (Sandbox is 1) but none can be made: "
            + support.reason;
        throw ComError(hresult::serverExecutionFailure, "LibreOffice could not be started: " + text);
    }
    tell("publishing without a network sandbox: " + support.reason);
    return false;
}

void LibreOfficeSuite::tell(const std::string& text)
{
    if (!m_told.insert(text).second)
        return;
    logError("LibreOfficeSuite#instance,1,%s", text.c_str());
    if (m_noticeReceiver)
        m_noticeReceiver(text);
}

void LibreOfficeSuite::setSandboxSupport(std::function<platform::Sandbox::Support()> support)
{
    std::lock_guard lock(m_mutex);
    m_sandboxSupport = std::move(support);
}

void LibreOfficeSuite::setNoticeReceiver(std::function<void(const std::string&)> receiver)
{
    std::lock_guard lock(m_mutex);
    m_noticeReceiver = std::move(receiver);
}

void LibreOfficeSuite::setPdfArchivePart(int part)
{
    std::lock_guard lock(m_mutex);
    m_pdfArchivePart = part;
}

int LibreOfficeSuite::pdfArchivePart()
{
    std::lock_guard lock(m_mutex);
    return m_pdfArchivePart;
}

bool LibreOfficeSuite::sandboxed()
{
    std::lock_guard lock(m_mutex);
    return m_sandboxed;
}

std::shared_ptr<LibreOfficeInstance> LibreOfficeSuite::currentInstance()
{
    std::lock_guard lock(m_mutex);
    return m_instance;
}

int LibreOfficeSuite::startCount()
{
    std::lock_guard lock(m_mutex);
    return m_startCount;
}

void LibreOfficeSuite::call(const std::shared_ptr<LibreOfficeInstance>& instance, const std::string& what,
    std::chrono::milliseconds timeout, const std::function<void()>& operation)
{
    if (!instance || !instance->isAlive())
        throw ComError(hresult::disconnected, "LibreOffice ended before " + what);
    WatchdogScope watchdog(m_watchdog, timeout, [instance] { instance->kill(); });
    auto timedOut = [&] {
        return ComError(hresult::callTimedOut,
            "LibreOffice did not finish " + what + " within " + std::to_string(timeout.count())
                + " ms and was stopped");
    };
    try {
        operation();
    } catch (const ComError&) {
        if (watchdog.finish())
            throw timedOut();
        throw;
    } catch (const lang::DisposedException& error) {
        if (watchdog.finish())
            throw timedOut();
        instance->kill();
        throw ComError(
            hresult::disconnected, "LibreOffice ended during " + what + ": " + toUtf8(error.Message));
    } catch (const uno::RuntimeException& error) {
        if (watchdog.finish())
            throw timedOut();
        if (!instance->isAlive()) {
            instance->kill();
            throw ComError(
                hresult::disconnected, "LibreOffice ended during " + what + ": " + toUtf8(error.Message));
        }
        throw ComError(hresult::serverFault, "LibreOffice failed " + what + ": " + toUtf8(error.Message));
    } catch (const uno::Exception& error) {
        if (watchdog.finish())
            throw timedOut();
        throw ComError(
            hresult::exceptionOccurred, "LibreOffice failed " + what + ": " + toUtf8(error.Message));
    }
    if (watchdog.finish())
        throw timedOut();
}

void LibreOfficeSuite::addClient()
{
    std::lock_guard lock(m_mutex);
    ++m_clients;
}

void LibreOfficeSuite::removeClient()
{
    bool last = false;
    {
        std::lock_guard lock(m_mutex);
        last = m_clients > 0 && --m_clients == 0;
    }
    if (last)
        shutDown();
}

void LibreOfficeSuite::shutDown()
{
    std::shared_ptr<LibreOfficeInstance> instance;
    Timeouts current;
    {
        std::lock_guard lock(m_mutex);
        instance = std::move(m_instance);
        current = m_timeouts;
    }
    if (instance)
        instance->terminate(current.terminate);
}

}
