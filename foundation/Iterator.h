#pragma once

#include "foundation/Object.h"

// One node of a LinkedList. It owns its element and the rest of the chain behind it.
class Iterator : public Object {
public:
    explicit Iterator(Object* element) : m_element(element) { }
    Iterator(const Iterator&) = delete;
    Iterator& operator=(const Iterator&) = delete;
    // Releases the element and then the whole chain behind this node, without recursion.
    ~Iterator() override;

    Object* getElement() const { return m_element; }
    Iterator* getNext() const { return m_next; }
    void setNext(Iterator* next) { m_next = next; }

private:
    Object* m_element;
    Iterator* m_next = nullptr;
};
