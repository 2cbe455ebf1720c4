#include "foundation/ListItem.h"

ListItem::ListItem(const char* name, int32_t index, int32_t flag, const char* owner)
    : m_name(name)
    , m_index(index)
    , m_flag(flag != 0)
    , m_owner("")
{
    m_owner.assign(owner);
}
