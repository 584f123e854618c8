#include "CResource.h"

#include "CResourceManager.h"

namespace VESK {

CResource::CResource() : useCount(1) {}

CResource::~CResource()
{
    if (!name.empty())
        CResourceManager::getInstance().releaseResource(name);
}

}  // namespace VESK
