#pragma once

#include "engine/loaders/CMeshData.h"

// The extent of a loaded mesh's drawn triangles in its own coordinates: the
// axis-aligned box, and the smallest sphere about the box's centre that holds
// every drawn vertex. Whether the mesh gives the light anything to work with
// is found on the same pass. A plain value, computed once from the record.

struct ModelBounds {
    // The mesh must have at least one triangle (the OBJ loader refuses others).
    explicit ModelBounds(const VESK::CMeshData& mesh);

    double low[3];
    double high[3];
    double centre[3];
    double radius = 0.0;
    // False when the vertices carry no normal, or only zero ones: the
    // lighting then cannot shade the model.
    bool shadable = false;
};
