#include "office/libreoffice/LibreOfficeAutomation.h"

#include "office/ComError.h"
#include "office/libreoffice/LibreOfficeExcelApplication.h"
#include "office/libreoffice/LibreOfficePowerPointApplication.h"
#include "office/libreoffice/LibreOfficeSuite.h"
#include "office/libreoffice/LibreOfficeWordApplication.h"

#include <cctype>
#include <strings.h>

namespace office {

namespace {

enum class Program { Word, Excel, PowerPoint, Unknown };

struct Registration {
    const char* progId;
    const char* classId;
    Program program;
};

// The ProgIDs (with and without their version) and class identifiers of the object models.
constexpr Registration registrations[] = {
    { "Word.Application", "{000209FF-0000-0000-C000-000000000046}", Program::Word },
    { "Excel.Application", "{00024500-0000-0000-C000-000000000046}", Program::Excel },
    { "PowerPoint.Application", "{91493441-5A91-11CF-8700-00AA0060263B}", Program::PowerPoint },
};

bool isClassIdText(const std::string& text)
{
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return false;
    for (size_t i = 1; i < 37; ++i) {
        bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

Program programOf(const std::string& name, HResult& result)
{
    result = hresult::ok;
    bool byClassId = !name.empty() && name.front() == '{';
    if (byClassId && !isClassIdText(name)) {
        result = hresult::invalidClassString;
        return Program::Unknown;
    }
    for (const auto& registration : registrations) {
        const char* key = byClassId ? registration.classId : registration.progId;
        if (strcasecmp(name.c_str(), key) == 0)
            return registration.program;
        // "Word.Application.16" names the same class.
        size_t length = std::string(registration.progId).size();
        if (!byClassId && name.size() > length + 1 && strncasecmp(name.c_str(), key, length) == 0
            && name[length] == '.')
            return registration.program;
    }
    result = byClassId ? hresult::classNotRegistered : hresult::invalidClassString;
    return Program::Unknown;
}

}

LibreOfficeAutomation::LibreOfficeAutomation()
    : m_suite(std::make_shared<LibreOfficeSuite>())
{
}

void LibreOfficeAutomation::setNoticeReceiver(std::function<void(const std::string&)> receiver)
{
    m_suite->setNoticeReceiver(std::move(receiver));
}

void LibreOfficeAutomation::setSandboxSupport(std::function<platform::Sandbox::Support()> support)
{
    m_suite->setSandboxSupport(std::move(support));
}

void LibreOfficeAutomation::setPdfArchivePart(int part)
{
    m_suite->setPdfArchivePart(part);
}

bool LibreOfficeAutomation::officeSandboxed() const
{
    return m_suite->sandboxed();
}

LibreOfficeAutomation::~LibreOfficeAutomation()
{
    m_suite->shutDown();
}

HResult LibreOfficeAutomation::createInstance(
    const std::string& progId, std::shared_ptr<AutomationApplication>& application)
{
    application.reset();
    HResult result;
    Program program = programOf(progId, result);
    if (program == Program::Unknown)
        return result;
    // The office is started now, as the server would be, so that creation reports a missing or
    // broken installation rather than the first document.
    try {
        m_suite->instance();
    } catch (const ComError& error) {
        return error.code();
    }
    switch (program) {
    case Program::Word:
        application = std::make_shared<LibreOfficeWordApplication>(m_suite);
        break;
    case Program::Excel:
        application = std::make_shared<LibreOfficeExcelApplication>(m_suite);
        break;
    case Program::PowerPoint:
        application = std::make_shared<LibreOfficePowerPointApplication>(m_suite);
        break;
    case Program::Unknown:
        break;
    }
    return hresult::ok;
}

void LibreOfficeAutomation::setCallTimeout(
    std::chrono::milliseconds base, std::chrono::milliseconds perMegabyte)
{
    LibreOfficeSuite::Timeouts timeouts = m_suite->timeouts();
    timeouts.base = base;
    timeouts.perMegabyte = perMegabyte;
    m_suite->setTimeouts(timeouts);
}

void LibreOfficeAutomation::setStartTimeout(std::chrono::milliseconds timeout)
{
    LibreOfficeSuite::Timeouts timeouts = m_suite->timeouts();
    timeouts.start = timeout;
    m_suite->setTimeouts(timeouts);
}

std::string LibreOfficeAutomation::runningProfileUrl() const
{
    auto instance = m_suite->currentInstance();
    return instance && instance->isAlive() ? instance->profileUrl() : std::string();
}

int LibreOfficeAutomation::officeStartCount() const
{
    return m_suite->startCount();
}

void LibreOfficeAutomation::killOffice()
{
    if (auto instance = m_suite->currentInstance())
        instance->kill();
}

}
