#pragma once

#include <utility>

// A reference-counted owning handle: all copies share one count, and the
// object is deleted once, when the last copy goes.

namespace VESK {

template <class T>
class CSharedPtr {
public:
    explicit CSharedPtr(T* object) : count(new int(1)), pointer(object) {}

    CSharedPtr(const CSharedPtr& other) : count(other.count), pointer(other.pointer) { ++*count; }

    CSharedPtr& operator=(const CSharedPtr& other)
    {
        CSharedPtr kept(other);
        std::swap(count, kept.count);
        std::swap(pointer, kept.pointer);
        return *this;
    }

    ~CSharedPtr()
    {
        if (--*count == 0) {
            delete count;
            delete pointer;
        }
    }

    T* get() const { return pointer; }
    T* operator->() const { return pointer; }

private:
    int* count;
    T* pointer;
};

}  // namespace VESK
