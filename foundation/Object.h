#pragma once

// The root of the class library. Every class derives from it so that an owned list can hold
// any of them and release them through the virtual destructor.
class Object {
public:
    Object() = default;
    Object(const Object&) = default;
    Object& operator=(const Object&) = default;
    virtual ~Object() = default;

    virtual void display() { }
};
