#include "office/libreoffice/LibreOfficeInstance.h"

#include "office/ComError.h"
#include "office/libreoffice/LibreOfficeInstallation.h"
#include "office/libreoffice/OrphanedOffices.h"
#include "office/libreoffice/UnoText.h"
#include "platform/BrokenPipes.h"
#include "platform/FileOperations.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <atomic>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace css;

namespace office {

namespace {

// The component context of this process, which only needs the URL resolver and the type
// descriptions of the office API to talk to any number of office processes.
uno::Reference<uno::XComponentContext> localContext()
{
    static std::mutex mutex;
    static uno::Reference<uno::XComponentContext> context;
    std::lock_guard lock(mutex);
    if (!context.is()) {
        std::string program = LibreOfficeInstallation::programFolder();
        // The office API's types sit in a second type library that unorc does not name; without
        // them the bridge cannot build proxies for the desktop's interfaces.
        rtl::Bootstrap::set(
            rtl::OUString("URE_MORE_TYPES"), toOUString("file://" + program + "/types/offapi.rdb"));
        context = cppu::defaultBootstrap_InitialComponentContext(toOUString("file://" + program + "/unorc"));
    }
    return context;
}

std::string uniquePipeName()
{
    static std::atomic<unsigned> counter { 0 };
    std::random_device random;
    std::ostringstream name;
    name << OrphanedOffices::pipePrefix(getpid()) << counter++ << "-" << std::hex << random();
    return name.str();
}

// What the office wrote on its error output; more than fits in one message is left out.
std::string errorOutput(const std::string& path)
{
    constexpr uint64_t shownSize = 64 * 1024;
    std::string text;
    platform::fileOperations::readAll(path, text, shownSize);
    return text;
}

}

LibreOfficeInstance::LibreOfficeInstance()
    : m_pipeName(uniquePipeName())
{
}

LibreOfficeInstance::~LibreOfficeInstance()
{
    // Nothing the office holds is worth waiting for: its documents were read-only and its
    // profile goes away.
    terminate(std::chrono::milliseconds(0));
}

std::string LibreOfficeInstance::startFailure(const std::string& reason) const
{
    std::string errors = errorOutput(m_profile.folder() + "/soffice.err");
    return "LibreOffice could not be started: " + reason + (errors.empty() ? "" : " (" + errors + ")");
}

void LibreOfficeInstance::start(std::chrono::milliseconds timeout, bool sandboxed)
{
    // A crashed predecessor's office would otherwise run for good; this is the first moment a
    // later Pressling can end it.
    OrphanedOffices::endAll();
    if (!m_profile.create())
        throw ComError(hresult::serverExecutionFailure, m_profile.error());
    m_profileUrl = m_profile.url();
    uno::Reference<uno::XComponentContext> local;
    try {
        local = localContext();
    } catch (const uno::Exception& error) {
        throw ComError(hresult::classNotRegistered, "the UNO runtime cannot start: " + toUtf8(error.Message));
    }
    platform::ignoreBrokenPipes();
    if (!m_process.start(m_profile, m_pipeName, sandboxed))
        throw ComError(hresult::serverExecutionFailure, startFailure(m_process.error()));
    m_profile.recordProcessGroup(m_process.processGroup());
    m_alive = true;

    auto deadline = std::chrono::steady_clock::now() + timeout;
    const rtl::OUString url = toOUString("uno:pipe,name=" + m_pipeName + ";urp;StarOffice.ComponentContext");
    try {
        uno::Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
        // The pipe answers before the office is ready: until then a connection is refused, or,
        // on a busy machine, accepted by an office that cannot hand out its context yet and
        // says so with a runtime error. Both are tried again until the office ends or the time
        // is up.
        auto waitOrGiveUp = [&] {
            if (!m_process.isRunning()) {
                kill();
                throw ComError(hresult::serverExecutionFailure, startFailure("it ended during start-up"));
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                kill();
                throw ComError(hresult::serverExecutionFailure, startFailure("its pipe did not answer in time"));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        };
        while (!m_remoteContext.is()) {
            try {
                m_remoteContext.set(resolver->resolve(url), uno::UNO_QUERY_THROW);
            } catch (const connection::NoConnectException&) {
                waitOrGiveUp();
            } catch (const uno::RuntimeException&) {
                waitOrGiveUp();
            }
        }
        m_desktop = frame::Desktop::create(m_remoteContext);
        m_typeDetection.set(m_remoteContext->getServiceManager()->createInstanceWithContext(
                                rtl::OUString("com.sun.star.document.TypeDetection"), m_remoteContext),
            uno::UNO_QUERY_THROW);
    } catch (const uno::Exception& error) {
        kill();
        throw ComError(hresult::serverExecutionFailure, startFailure(toUtf8(error.Message)));
    }
}

void LibreOfficeInstance::kill()
{
    m_alive = false;
    m_process.kill();
}

bool LibreOfficeInstance::isAlive()
{
    return m_alive && m_process.isRunning();
}

void LibreOfficeInstance::terminate(std::chrono::milliseconds timeout)
{
    // The profile is thrown away and every document was opened read-only, so an office told to
    // end at once loses nothing; a graceful end is only worth waiting for when asked.
    if (m_alive && m_desktop.is() && timeout.count() > 0) {
        // terminate() returns once the office has agreed to end; it may still be writing its
        // profile, which is what the wait is for. A hung office meets the kill below.
        std::thread request([desktop = m_desktop] {
            try {
                desktop->terminate();
            } catch (const uno::Exception&) {
                // The office went away while answering, which is what was asked for.
            }
        });
        bool ended = m_process.waitForExit(timeout);
        if (!ended)
            m_process.kill();
        request.join();
    }
    m_alive = false;
    m_typeDetection.clear();
    m_desktop.clear();
    m_remoteContext.clear();
    // The launcher may have ended while soffice.bin lingers; the group kill takes both.
    m_process.kill();
}

}
