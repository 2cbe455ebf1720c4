#include "foundation/Iterator.h"

Iterator::~Iterator()
{
    delete m_element;
    // Unlink each follower before destroying it, so that a long chain is released by this loop
    // rather than by one nested destructor per node.
    Iterator* node = m_next;
    while (node) {
        Iterator* following = node->m_next;
        node->m_next = nullptr;
        delete node;
        node = following;
    }
}
