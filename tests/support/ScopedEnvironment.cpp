#include "tests/support/ScopedEnvironment.h"

#include <cstdlib>

ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value)
    : m_name(name)
{
    if (const char* previous = std::getenv(name))
        m_previous = previous;
    setenv(name, value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment()
{
    if (m_previous)
        setenv(m_name.c_str(), m_previous->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}
