#pragma once

#include "../math/CMyVector.h"
#include "resources/CResource.h"

// The API-neutral texture: a resource made from one picture, recording its
// size, picture format and sampling parameters. Owned by the resource manager
// once registered; API enums cross as plain unsigned integers.

namespace VESK {

class VirtualTexture : public CResource {
public:
    VirtualTexture() = default;
    ~VirtualTexture() override = default;

    const CMyVector<int, 3>& getSize() const { return size; }
    int getFormat() const { return format; }
    unsigned int getWrapS() const { return wrapS; }
    unsigned int getWrapT() const { return wrapT; }
    unsigned int getWrapR() const { return wrapR; }
    unsigned int getMinFilter() const { return minFilter; }
    unsigned int getMagFilter() const { return magFilter; }

protected:
    // (0, 0, 0) while no texture object exists.
    CMyVector<int, 3> size;
    int format = 0;
    unsigned int wrapS = 0;
    unsigned int wrapT = 0;
    unsigned int wrapR = 0;
    unsigned int minFilter = 0;
    unsigned int magFilter = 0;
};

}  // namespace VESK
