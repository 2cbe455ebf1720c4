#pragma once

#include "foundation/Iterator.h"
#include "foundation/Object.h"

#include <cstdint>
#include <memory>

// A singly linked list that owns its elements. Adding hands the element over; if the node
// cannot be allocated, the exception leaves the element with the caller.
class LinkedList : public Object {
public:
    LinkedList() = default;
    LinkedList(const LinkedList&) = delete;
    LinkedList& operator=(const LinkedList&) = delete;
    ~LinkedList() override;

    void display() override;

    template<typename T>
    void add(std::unique_ptr<T>&& element) { addLast(std::move(element)); }
    template<typename T>
    void addLast(std::unique_ptr<T>&& element)
    {
        linkLast(element.get());
        element.release();
    }
    template<typename T>
    void addFirst(std::unique_ptr<T>&& element)
    {
        linkFirst(element.get());
        element.release();
    }

    Iterator* getHead() const { return m_head; }
    Iterator* getTail() const { return m_tail; }
    int32_t getSize() const;
    void clear();
    // Appends an independent copy of every String of source; returns how many it visited.
    int32_t copyStrings(const LinkedList& source);

private:
    void linkLast(Object* element);
    void linkFirst(Object* element);

    Iterator* m_head = nullptr;
    Iterator* m_tail = nullptr;
};
