#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "ModelBounds.h"

// Where the frames of a row of models go so that the viewer's camera, as it
// starts, sees all of them upright and whole. The camera looks down +Z with
// -Y up the screen, and the viewer turns every model 90 degrees about X inside
// its frame (its +Z comes up the screen): a frame's matrix undoes or keeps that
// turn, then moves the model. The row runs along +X, left to right in the
// given order; every model's bounding sphere is centred at the same depth,
// the least at which all of them fit the view. Nothing is scaled, so the
// camera keys move any scene by the same steps.

enum class UpAxis { y, z };

class SceneLayout {
public:
    SceneLayout(const std::vector<ModelBounds>& models, UpAxis up);

    // The column-major local matrix of model i's frame, as the scene file holds it.
    const std::array<float, 16>& frameMatrix(std::size_t i) const { return matrices[i]; }

    // True when part of model i lies beyond the viewer's far clipping plane,
    // where nothing is drawn: the model is too large to be seen whole.
    bool reachesPastFarPlane(std::size_t i) const { return pastFar[i]; }

private:
    std::vector<std::array<float, 16>> matrices;
    std::vector<bool> pastFar;
};
