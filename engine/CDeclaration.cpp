#include "CDeclaration.h"

#include <algorithm>

namespace VESK {

CDeclaration::~CDeclaration()
{
    delete[] elements;
    elementCount = 0;
}

void CDeclaration::build(const CVertexElement* source)
{
    if (source == nullptr)
        return;
    delete[] elements;
    elements = nullptr;
    elementCount = 0;
    int count = 0;
    while (!source[count].isEndMarker())
        ++count;
    if (count == 0)
        return;
    elements = new CVertexElement[count];
    std::copy(source, source + count, elements);
    elementCount = count;
}

}  // namespace VESK
