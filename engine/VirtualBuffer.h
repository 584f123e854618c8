#pragma once

#include <cstdint>

// The API-neutral GPU buffer: an array of equally sized elements (vertices or
// indices) held in graphics memory. Implementations own their GPU object and
// free it in release() or their destructor; API enums cross as plain
// unsigned integers.

namespace VESK {

class VirtualBuffer {
public:
    VirtualBuffer() = default;
    virtual ~VirtualBuffer() = default;

    VirtualBuffer(const VirtualBuffer&) = delete;
    VirtualBuffer& operator=(const VirtualBuffer&) = delete;

    // Allocates count x elementSize bytes without contents, freeing any
    // earlier storage first.
    virtual void create(int count, int elementSize, unsigned int usage) = 0;
    // Returns true if storage was freed, false when there was none.
    virtual bool release() = 0;
    // Returns the address of element `first` in the mapped storage, or null
    // when the storage cannot be mapped; nothing may be written through null.
    virtual std::uint8_t* lock(int first, unsigned int access) = 0;
    // Returns false when the contents written since lock() were lost.
    virtual bool unlock() = 0;

    int getElementCount() const { return elementCount; }
    int getElementSize() const { return elementSize; }

protected:
    int elementCount = 0;
    int elementSize = 0;
};

}  // namespace VESK
