#pragma once

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

#include <initializer_list>
#include <string>

namespace office {

// UNO strings are UTF-16; the rest of the program speaks UTF-8.
inline rtl::OUString toOUString(const std::string& utf8)
{
    return rtl::OStringToOUString(
        rtl::OString(utf8.data(), static_cast<sal_Int32>(utf8.size())), RTL_TEXTENCODING_UTF8);
}

inline std::string toUtf8(const rtl::OUString& text)
{
    rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<size_t>(bytes.getLength()));
}

// The named arguments that UNO calls take.
css::beans::PropertyValue property(const char* name, const css::uno::Any& value);
css::uno::Sequence<css::beans::PropertyValue> properties(
    std::initializer_list<css::beans::PropertyValue> values);

// The file URL of a path: absolute, every byte outside the unreserved set percent-encoded, so
// that names which are not valid UTF-8 still reach the office unchanged.
std::string fileUrl(const std::string& path);

}
