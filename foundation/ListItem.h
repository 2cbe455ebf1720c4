#pragma once

#include "foundation/Object.h"
#include "foundation/String.h"

#include <cstdint>

// An entry taken from the file list: its text, its position, a flag and an optional owner.
class ListItem : public Object {
public:
    ListItem(const char* name, int32_t index, int32_t flag, const char* owner);

    const String& getName() const { return m_name; }
    int32_t getIndex() const { return m_index; }
    bool getFlag() const { return m_flag; }
    const String& getOwner() const { return m_owner; }

private:
    String m_name;
    int32_t m_index;
    bool m_flag;
    String m_owner;
};
