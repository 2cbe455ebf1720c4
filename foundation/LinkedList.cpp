#include "foundation/LinkedList.h"

#include "foundation/Exception.h"
#include "foundation/String.h"

#include <new>

LinkedList::~LinkedList()
{
    clear();
}

void LinkedList::display()
{
    for (Iterator* node = m_head; node; node = node->getNext())
        node->getElement()->display();
}

void LinkedList::linkLast(Object* element)
{
    if (!element)
        return;
    auto* node = new (std::nothrow) Iterator(element);
    if (!node)
        throw Exception("LinkedList#addLast,1,Failed to allocate memory", -13);
    if (m_tail)
        m_tail->setNext(node);
    else
        m_head = node;
    m_tail = node;
}

void LinkedList::linkFirst(Object* element)
{
    if (!element)
        return;
    auto* node = new (std::nothrow) Iterator(element);
    if (!node)
        throw Exception("LinkedList#addFirst,1,Failed to allocate memory", -13);
    node->setNext(m_head);
    m_head = node;
    if (!m_tail)
        m_tail = node;
}

int32_t LinkedList::getSize() const
{
    int32_t size = 0;
    for (Iterator* node = m_head; node; node = node->getNext())
        ++size;
    return size;
}

void LinkedList::clear()
{
    // The head node releases the whole chain behind it.
    delete m_head;
    m_head = nullptr;
    m_tail = nullptr;
}

int32_t LinkedList::copyStrings(const LinkedList& source)
{
    int32_t visited = 0;
    for (Iterator* node = source.m_head; node; node = node->getNext()) {
        auto* text = dynamic_cast<String*>(node->getElement());
        addLast(std::make_unique<String>(text ? text->getText() : nullptr));
        ++visited;
    }
    return visited;
}
