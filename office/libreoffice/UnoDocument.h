#pragma once

#include "office/libreoffice/DocumentLabels.h"
#include "office/libreoffice/ExportTarget.h"
#include "office/libreoffice/ImportFilter.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace office {

class LibreOfficeInstance;
class LibreOfficeSuite;

// One document loaded, hidden and read-only, into the session's LibreOffice. Every operation
// runs under the suite's watchdog and throws ComError; a document whose office has since been
// replaced fails as disconnected.
class UnoDocument {
public:
    enum class Kind { Text, Spreadsheet, Presentation };

    // Loads path for an application of family with the given MacroExecutionMode. None when the
    // file is not of a format that application opens (whatever its name says). Throws ComError
    // when the office gives back no document or asked a question on the way (a password, a
    // damaged file), which Word reports as an error too.
    static std::shared_ptr<UnoDocument> load(const std::shared_ptr<LibreOfficeSuite>& suite,
        const std::string& path, DocumentFamily family, int16_t macroExecutionMode);

    UnoDocument(const UnoDocument&) = delete;
    UnoDocument& operator=(const UnoDocument&) = delete;
    ~UnoDocument();

    Kind kind() const { return m_kind; }
    const std::string& path() const { return m_path; }
    bool isClosed() const { return !m_component.is(); }

    // The document's "LoadReadonly" setting, or for a Word 97-2003 file the read-only
    // recommendation of its file information block.
    bool readOnlyRecommended();
    // The MacroExecutionMode the office recorded for the loaded document.
    int16_t macroExecutionMode();
    void store(const std::string& fileName, ExportTarget target);
    void close();
    // The text of every slide, in slide order, one string per slide (presentations only).
    std::vector<std::string> slideTexts();
    // The document's language, title and pictures' descriptions.
    DocumentLabels labels();

    // Runs operation under the watchdog with this document's time allowance.
    void call(const std::string& what, const std::function<void()>& operation);
    void storeToUrl(const std::string& fileName, const char* filterName, const std::string& filterOptions,
        const css::uno::Sequence<css::beans::PropertyValue>& filterData = {});

private:
    UnoDocument(std::shared_ptr<LibreOfficeSuite> suite, std::shared_ptr<LibreOfficeInstance> instance,
        std::string path, css::uno::Reference<css::lang::XComponent> component, Kind kind);

    std::shared_ptr<LibreOfficeSuite> m_suite;
    std::shared_ptr<LibreOfficeInstance> m_instance;
    std::string m_path;
    std::chrono::milliseconds m_timeout;
    css::uno::Reference<css::lang::XComponent> m_component;
    Kind m_kind;
};

}
