#pragma once

#include "engine/loaders/CObjOutline.h"

// The extent of a model's drawn vertices in its own coordinates: the
// axis-aligned box, and the smallest sphere about the box's centre that holds
// them. Only vertices whose coordinates are all finite count: the viewer
// draws nothing useful of the others, and they would move the whole scene
// out of sight. A plain value, computed once from the model's outline.

struct ModelBounds {
    explicit ModelBounds(const VESK::CObjOutline& outline);

    // False when no face uses a vertex with finite coordinates: the model
    // then has no place, and the other values mean nothing.
    bool placed = false;
    // False when a face uses a vertex with a coordinate that is not finite.
    bool allFinite = true;
    double low[3] = {0.0, 0.0, 0.0};
    double high[3] = {0.0, 0.0, 0.0};
    double centre[3] = {0.0, 0.0, 0.0};
    double radius = 0.0;
};
