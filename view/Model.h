#pragma once

#include <string>

#include "ModelBounds.h"
#include "engine/loaders/CObjOutline.h"

// One model given on the command line, as the engine read it: the file as
// named, the mesh name it has in the scene, its outline and its extent.
struct Model {
    std::string file;
    std::string name;
    VESK::CObjOutline outline;
    ModelBounds bounds;
};
