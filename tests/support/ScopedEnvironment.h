#pragma once

#include <optional>
#include <string>

// Sets an environment variable for the life of the object and puts the old value back after.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};
