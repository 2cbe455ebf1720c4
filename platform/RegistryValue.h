#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The three roots that the store keeps, each in a file of its own.
enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

// Value types by their registry numbers, so that a type the program does not know keeps its
// number through a round trip.
namespace RegistryType {
constexpr uint32_t None = 0;
constexpr uint32_t String = 1;
constexpr uint32_t ExpandString = 2;
constexpr uint32_t Binary = 3;
constexpr uint32_t Dword = 4;
constexpr uint32_t MultiString = 7;
constexpr uint32_t Qword = 11;
}

// One named value with its data as the registry stores it: a string type holds its narrow text
// followed by the terminating NUL, a DWORD its four bytes, least significant first. An empty name
// is the key's default value.
struct RegistryValue {
    std::string name;
    uint32_t type = RegistryType::None;
    std::vector<unsigned char> data;

    static RegistryValue text(
        std::string name, const std::string& text, uint32_t type = RegistryType::String);
    static RegistryValue dword(std::string name, uint32_t number);

    // The data as text, up to the first NUL.
    std::string asText() const;
    // The DWORD number of a value of four bytes; zero for other sizes.
    uint32_t asDword() const;
};

// Key and value names compare as the registry compares them: ASCII letters without regard to case.
bool registryNamesEqual(const std::string& left, const std::string& right);
std::string registryFoldCase(const std::string& name);

}
