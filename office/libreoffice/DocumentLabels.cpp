#include "office/libreoffice/DocumentLabels.h"

#include "office/libreoffice/UnoText.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XDocumentProperties.hpp>
#include <com/sun/star/document/XDocumentPropertiesSupplier.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/text/XTextGraphicObjectsSupplier.hpp>

using namespace css;

namespace office {

namespace {

// The office keeps a language it has no ISO code for as "qlt" with the whole tag as variant.
std::string languageTag(const lang::Locale& locale)
{
    if (locale.Language == "qlt")
        return toUtf8(locale.Variant);
    // "zxx" says the text is in no language; a reader is better told nothing.
    if (locale.Language.isEmpty() || locale.Language == "zxx")
        return {};
    std::string tag = toUtf8(locale.Language);
    if (!locale.Country.isEmpty())
        tag += "-" + toUtf8(locale.Country);
    return tag;
}

std::string stringProperty(const uno::Reference<beans::XPropertySet>& properties, const char* name)
{
    rtl::OUString value;
    if (properties.is()
        && properties->getPropertySetInfo()->hasPropertyByName(rtl::OUString::createFromAscii(name)))
        properties->getPropertyValue(rtl::OUString::createFromAscii(name)) >>= value;
    return toUtf8(value.trim());
}

}

DocumentLabels DocumentLabels::of(const uno::Reference<lang::XComponent>& component)
{
    DocumentLabels labels;
    // The language of the default character attributes: what the office tags its PDFs with too.
    uno::Reference<beans::XPropertySet> model(component, uno::UNO_QUERY);
    lang::Locale locale;
    if (model.is() && model->getPropertySetInfo()->hasPropertyByName("CharLocale")
        && (model->getPropertyValue("CharLocale") >>= locale))
        labels.language = languageTag(locale);
    uno::Reference<document::XDocumentPropertiesSupplier> supplier(component, uno::UNO_QUERY);
    if (supplier.is())
        labels.title = toUtf8(supplier->getDocumentProperties()->getTitle().trim());
    // Text documents name their pictures in their HTML; the other kinds' pages do not.
    uno::Reference<text::XTextGraphicObjectsSupplier> graphics(component, uno::UNO_QUERY);
    if (!graphics.is())
        return labels;
    uno::Reference<container::XNameAccess> pictures = graphics->getGraphicObjects();
    for (const rtl::OUString& name : pictures->getElementNames()) {
        uno::Reference<beans::XPropertySet> picture(pictures->getByName(name), uno::UNO_QUERY);
        std::string text = stringProperty(picture, "Description");
        if (text.empty())
            text = stringProperty(picture, "Title");
        if (!text.empty())
            labels.pictureTexts.emplace(toUtf8(name), text);
    }
    return labels;
}

}
