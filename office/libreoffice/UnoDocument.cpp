#include "office/libreoffice/UnoDocument.h"

#include "office/ComError.h"
#include "office/libreoffice/ImportFilter.h"
#include "office/libreoffice/LibreOfficeSuite.h"
#include "office/libreoffice/OutputHandOver.h"
#include "office/libreoffice/UnoExporter.h"
#include "office/libreoffice/UnoInteractionRecorder.h"
#include "office/libreoffice/UnoText.h"
#include "office/libreoffice/WordBinaryFlags.h"

#include <rtl/ref.hxx>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <filesystem>

using namespace css;

namespace office {

namespace {

// Every filter that an application loads with is one of its own module, so the kind of the
// document is known without asking the office.
UnoDocument::Kind kindOf(DocumentFamily family)
{
    switch (family) {
    case DocumentFamily::Excel:
        return UnoDocument::Kind::Spreadsheet;
    case DocumentFamily::PowerPoint:
        return UnoDocument::Kind::Presentation;
    case DocumentFamily::Word:
        break;
    }
    return UnoDocument::Kind::Text;
}

std::string stringProperty(const uno::Sequence<beans::PropertyValue>& values, const char* name)
{
    rtl::OUString text;
    for (const beans::PropertyValue& value : values) {
        if (value.Name.equalsAscii(name))
            value.Value >>= text;
    }
    return toUtf8(text);
}

// The import filter that LibreOffice's type detection picks for the file from its content, or
// empty when it knows none. Detection only reads the first bytes of what it does not know, where
// an import would first read the whole file as text and lay it out.
std::string detectedFilter(const uno::Reference<document::XTypeDetection>& detection, const std::string& url,
    const uno::Reference<task::XInteractionHandler>& handler)
{
    uno::Sequence<beans::PropertyValue> descriptor = properties({ property("URL", uno::Any(toOUString(url))),
        property("ReadOnly", uno::Any(true)), property("InteractionHandler", uno::Any(handler)) });
    rtl::OUString type = detection->queryTypeByDescriptor(descriptor, true);
    if (type.isEmpty())
        return {};
    std::string filter = stringProperty(descriptor, "FilterName");
    if (!filter.empty())
        return filter;
    uno::Reference<container::XNameAccess> types(detection, uno::UNO_QUERY_THROW);
    uno::Sequence<beans::PropertyValue> typeProperties;
    types->getByName(type) >>= typeProperties;
    return stringProperty(typeProperties, "PreferredFilter");
}

}

UnoDocument::UnoDocument(std::shared_ptr<LibreOfficeSuite> suite,
    std::shared_ptr<LibreOfficeInstance> instance, std::string path,
    uno::Reference<lang::XComponent> component, Kind kind)
    : m_suite(std::move(suite))
    , m_instance(std::move(instance))
    , m_path(std::move(path))
    , m_timeout(m_suite->timeoutForFile(m_path))
    , m_component(std::move(component))
    , m_kind(kind)
{
}

UnoDocument::~UnoDocument()
{
    try {
        close();
    } catch (const ComError&) {
        // A document whose office is gone has nothing left to close.
    }
}

std::shared_ptr<UnoDocument> UnoDocument::load(const std::shared_ptr<LibreOfficeSuite>& suite,
    const std::string& path, DocumentFamily family, int16_t macroExecutionMode)
{
    std::shared_ptr<LibreOfficeInstance> instance = suite->instance();
    uno::Reference<lang::XComponent> component;
    // Every question the office would ask (a password, a repair, a damaged-file warning) is
    // refused by the recorder: a document that needs an answer fails instead of waiting.
    rtl::Reference<UnoInteractionRecorder> recorder(new UnoInteractionRecorder);
    uno::Reference<task::XInteractionHandler> handler(recorder.get());
    std::string url = fileUrl(path);
    std::optional<importFilter::Import> import;
    try {
        suite->call(instance, "loading " + path, suite->timeoutForFile(path), [&] {
            import = importFilter::importFor(
                family, detectedFilter(instance->typeDetection(), url, handler), path);
            if (!import)
                return;
            // The filter that was checked is the one that loads, so that a second detection
            // cannot come to another answer. Its options are given where it takes any: without
            // them it would ask for them, and the question would be refused.
            uno::Sequence<beans::PropertyValue> arguments
                = properties({ property("Hidden", uno::Any(true)), property("ReadOnly", uno::Any(true)),
                    property("FilterName", uno::Any(toOUString(import->filter))),
                    property("MacroExecutionMode", uno::Any(macroExecutionMode)),
                    property("UpdateDocMode", uno::Any(document::UpdateDocMode::NO_UPDATE)),
                    property("RepairPackage", uno::Any(false)),
                    property("InteractionHandler", uno::Any(handler)) });
            if (!import->options.empty()) {
                arguments.realloc(arguments.getLength() + 1);
                arguments.getArray()[arguments.getLength() - 1]
                    = property("FilterOptions", uno::Any(toOUString(import->options)));
            }
            uno::Reference<lang::XComponent> loaded = instance->desktop()->loadComponentFromURL(
                toOUString(url), rtl::OUString("_blank"), 0, arguments);
            component = loaded;
        });
    } catch (const ComError& error) {
        // A refused question makes some filters give up with an error of their own; the
        // question says better what is wrong with the document.
        if (recorder->refusedRequest().empty() || error.code() == hresult::callTimedOut
            || error.code() == hresult::disconnected)
            throw;
    }
    std::string refused = recorder->refusedRequest();
    // A file of another kind (text, another suite's format, noise, nothing at all) is not opened
    // as the nearest thing the office can make of it: the application gives no document.
    if (refused.empty() && !import)
        return nullptr;
    if (!refused.empty() || !component.is()) {
        if (component.is()) {
            // Half a document is no document: what the office warned about is the failure.
            std::shared_ptr<UnoDocument>(new UnoDocument(suite, instance, path, component, kindOf(family)))
                ->close();
        }
        throw ComError(recorder->wasPassword() ? hresult::accessDenied : hresult::exceptionOccurred,
            "LibreOffice cannot open " + path + ": "
                + (refused.empty() ? "it is not a document it reads" : refused));
    }
    return std::shared_ptr<UnoDocument>(new UnoDocument(suite, instance, path, component, kindOf(family)));
}

void UnoDocument::call(const std::string& what, const std::function<void()>& operation)
{
    if (!m_component.is())
        throw ComError(hresult::disconnected, "the document " + m_path + " is closed");
    m_suite->call(m_instance, what + " " + m_path, m_timeout, operation);
}

bool UnoDocument::readOnlyRecommended()
{
    bool recommended = false;
    call("reading the settings of", [&] {
        uno::Reference<lang::XMultiServiceFactory> factory(m_component, uno::UNO_QUERY);
        if (!factory.is())
            return;
        uno::Reference<beans::XPropertySet> settings(
            factory->createInstance(rtl::OUString("com.sun.star.document.Settings")), uno::UNO_QUERY);
        if (settings.is())
            settings->getPropertyValue(rtl::OUString("LoadReadonly")) >>= recommended;
    });
    // LibreOffice's import of Word 97-2003 files does not carry the recommendation over.
    if (!recommended && m_kind == Kind::Text && importFilter::hasExtension(m_path, ".doc"))
        recommended = wordBinaryRecommendsReadOnly(m_path);
    return recommended;
}

int16_t UnoDocument::macroExecutionMode()
{
    int16_t mode = -1;
    call("reading the load arguments of", [&] {
        uno::Reference<frame::XModel> model(m_component, uno::UNO_QUERY_THROW);
        for (const beans::PropertyValue& argument : model->getArgs()) {
            if (argument.Name == "MacroExecutionMode")
                argument.Value >>= mode;
        }
    });
    return mode;
}

void UnoDocument::storeToUrl(const std::string& fileName, const char* filterName,
    const std::string& filterOptions, const uno::Sequence<beans::PropertyValue>& filterData)
{
    uno::Sequence<beans::PropertyValue> arguments
        = properties({ property("FilterName", uno::Any(toOUString(filterName))),
            property("FilterOptions", uno::Any(toOUString(filterOptions))),
            property("Overwrite", uno::Any(true)) });
    if (filterData.hasElements()) {
        arguments.realloc(arguments.getLength() + 1);
        arguments.getArray()[arguments.getLength() - 1] = property("FilterData", uno::Any(filterData));
    }
    // The office stores into its own output folder, under the name asked for, and what it wrote
    // there is moved beside fileName: it may write nowhere else.
    const std::string staging = m_instance->outputFolder();
    outputHandOver::clear(staging);
    std::string url = fileUrl(staging + "/" + std::filesystem::path(fileName).filename().string());
    call(std::string("saving (") + filterName + ")", [&] {
        uno::Reference<frame::XStorable> storable(m_component, uno::UNO_QUERY_THROW);
        storable->storeToURL(toOUString(url), arguments);
    });
    std::string folder = std::filesystem::path(fileName).parent_path().string();
    outputHandOver::moveAll(staging, folder.empty() ? "." : folder);
}

void UnoDocument::store(const std::string& fileName, ExportTarget target)
{
    UnoExporter(*this, m_suite->pdfArchivePart()).store(fileName, target);
}

DocumentLabels UnoDocument::labels()
{
    DocumentLabels labels;
    call("reading the properties of", [&] { labels = DocumentLabels::of(m_component); });
    return labels;
}

std::vector<std::string> UnoDocument::slideTexts()
{
    std::vector<std::string> texts;
    call("reading the slides of", [&] { texts = UnoExporter::slideTexts(m_component); });
    return texts;
}

void UnoDocument::close()
{
    if (!m_component.is())
        return;
    // Whatever the close call says, the document is not ours to close a second time.
    uno::Reference<lang::XComponent> component = std::move(m_component);
    m_component.clear();
    m_suite->call(m_instance, "closing " + m_path, m_timeout, [&] {
        uno::Reference<util::XCloseable> closeable(component, uno::UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else
            component->dispose();
    });
}

}
