#include "office/libreoffice/ImportFilter.h"

#include "office/libreoffice/DelimitedText.h"
#include "platform/ReadOnlyFile.h"

#include <algorithm>
#include <cctype>
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
    "Calc Office Open XML Template", "MS Excel 2003 XML", "MS Excel 2003 XML Orcus" };

// What detection may make of an HTML table named .xls: a web page, or a page to query for
// tables. Excel opens each as a workbook, and so does Calc's HTML import.
constexpr std::string_view htmlTypes[] = { "HTML (StarCalc)", "calc_HTML_WebQuery", "HTML" };
constexpr std::string_view calcHtmlFilter = "HTML (StarCalc)";
// The HTML import's options: the office's language for numbers, nothing else converted (no
// dates), so that the cells say what the page says. Without options the import asks for them.
constexpr std::string_view calcHtmlOptions = "0 false";
constexpr std::string_view calcTextFilter = "Text - txt - csv (StarCalc)";
// A text table is seen by its first lines; these bytes hold them for every real table.
constexpr size_t textTableHead = 64 * 1024;

constexpr std::string_view powerPointFilters[]
    = { "MS PowerPoint 97", "MS PowerPoint 97 AutoPlay", "MS PowerPoint 97 Vorlage", "PowerPoint 3",
          "Impress MS PowerPoint 2007 XML", "Impress MS PowerPoint 2007 XML AutoPlay",
          "Impress MS PowerPoint 2007 XML Template", "Impress MS PowerPoint 2007 XML VBA",
          "Impress Office Open XML", "Impress Office Open XML Template", "Impress Office Open XML AutoPlay" };

template <size_t count> bool listed(const std::string_view (&filters)[count], std::string_view name)
{
    return std::find(std::begin(filters), std::end(filters), name) != std::end(filters);
}

std::optional<Import> textTable(const std::string& path)
{
    platform::ReadOnlyFile file(path);
    if (!file.isOpen())
        return std::nullopt;
    std::string head(textTableHead, '\0');
    head.resize(file.readAt(0, head.data(), head.size()));
    std::optional<DelimitedText> table = DelimitedText::of(head, file.size() > head.size());
    if (!table)
        return std::nullopt;
    return Import { std::string(calcTextFilter), table->calcImportOptions() };
}

std::optional<Import> filter(std::string_view name)
{
    return Import { std::string(name), {} };
}

}

bool hasExtension(std::string_view path, std::string_view extension)
{
    return path.size() >= extension.size()
        && std::equal(extension.begin(), extension.end(), path.end() - extension.size(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a))
                   == std::tolower(static_cast<unsigned char>(b));
           });
}

std::optional<Import> importFor(DocumentFamily family, std::string_view detected, const std::string& path)
{
    switch (family) {
    case DocumentFamily::Word:
        // Detection takes an HTML file for a web page of the HTML editor; Word opens it as a
        // document, which is what Writer's own HTML import makes of it.
        if (detected == "HTML")
            return filter("HTML (StarWriter)");
        return listed(wordFilters, detected) ? filter(detected) : std::nullopt;
    case DocumentFamily::Excel:
        if (listed(excelFilters, detected))
            return filter(detected);
        // Excel opens an HTML or a text file under the name of its 97-2003 format, after a
        // warning about the name, and refuses them under the names of its Open XML formats.
        if (!hasExtension(path, ".xls"))
            return std::nullopt;
        if (listed(htmlTypes, detected))
            return Import { std::string(calcHtmlFilter), std::string(calcHtmlOptions) };
        return detected == calcTextFilter ? textTable(path) : std::nullopt;
    case DocumentFamily::PowerPoint:
        return listed(powerPointFilters, detected) ? filter(detected) : std::nullopt;
    }
    return std::nullopt;
}

}
