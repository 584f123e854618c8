#pragma once

#include "CVertexElement.h"

// The API-neutral vertex layout: an owned copy of a terminated element array,
// without its end marker. Owned by value by whatever draws with it.

namespace VESK {

class CDeclaration {
public:
    CDeclaration() = default;
    virtual ~CDeclaration();

    CDeclaration(const CDeclaration&) = delete;
    CDeclaration& operator=(const CDeclaration&) = delete;

    // Replaces the contents with the elements before the source's end marker;
    // a null source leaves the declaration as it was.
    void build(const CVertexElement* source);

    int getElementCount() const { return elementCount; }
    // i must lie in 0 .. getElementCount() - 1.
    const CVertexElement& getElement(int i) const { return elements[i]; }

private:
    int elementCount = 0;
    CVertexElement* elements = nullptr;
};

}  // namespace VESK
