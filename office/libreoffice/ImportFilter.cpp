#include "office/libreoffice/ImportFilter.h"

#include <algorithm>
#include <iterator>

namespace office::importFilter {

namespace {

// LibreOffice's own names of its import filters, as its filter configuration lists them.
constexpr std::string_view wordFilters[] = { "MS Word 97", "MS Word 97 Vorlage", "MS Word 95",
    "MS Word 95 Vorlage", "MS WinWord 6.0", "MS WinWord 5", "MS Word 2007 XML", "MS Word 2007 XML Template",
    "MS Word 2007 XML VBA", "Office Open XML Text", "Office Open XML Text Template", "MS Word 2003 XML",
    "Rich Text Format", "HTML (StarWriter)" };

constexpr std::string_view excelFilters[] = { "MS Excel 97", "MS Excel 97 Vorlage/Template", "MS Excel 95",
    "MS Excel 95 Vorlage/Template", "MS Excel 5.0/95", "MS Excel 5.0/95 Vorlage/Template", "MS Excel 4.0",
    "MS Excel 4.0 Vorlage/Template", "Calc MS Excel 2007 XML", "Calc MS Excel 2007 VBA XML",
    "Calc MS Excel 2007 XML Template", "Calc MS Excel 2007 Binary", "Calc Office Open XML",
    "Calc Office Open XML Template", "MS Excel 2003 XML", "MS Excel 2003 XML Orcus", "HTML (StarCalc)",
    "calc_HTML_WebQuery" };

constexpr std::string_view powerPointFilters[]
    = { "MS PowerPoint 97", "MS PowerPoint 97 AutoPlay", "MS PowerPoint 97 Vorlage", "PowerPoint 3",
          "Impress MS PowerPoint 2007 XML", "Impress MS PowerPoint 2007 XML AutoPlay",
          "Impress MS PowerPoint 2007 XML Template", "Impress MS PowerPoint 2007 XML VBA",
          "Impress Office Open XML", "Impress Office Open XML Template", "Impress Office Open XML AutoPlay" };

template <size_t count> bool listed(const std::string_view (&filters)[count], std::string_view name)
{
    return std::find(std::begin(filters), std::end(filters), name) != std::end(filters);
}

}

std::string_view loadingFilter(DocumentFamily family, std::string_view detected)
{
    switch (family) {
    case DocumentFamily::Word:
        // Detection takes an HTML file for a web page of the HTML editor; Word opens it as a
        // document, which is what Writer's own HTML import makes of it.
        if (detected == "HTML")
            return "HTML (StarWriter)";
        return listed(wordFilters, detected) ? detected : std::string_view();
    case DocumentFamily::Excel:
        return listed(excelFilters, detected) ? detected : std::string_view();
    case DocumentFamily::PowerPoint:
        return listed(powerPointFilters, detected) ? detected : std::string_view();
    }
    return {};
}

}
