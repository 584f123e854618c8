#include "ModelBounds.h"

#include <algorithm>
#include <cmath>

ModelBounds::ModelBounds(const VESK::CObjOutline& outline)
{
    const std::size_t count = outline.positionUsed.size();
    const float* positions = outline.positions.data();
    auto counts = [&](std::size_t i) {
        const float* p = positions + 3 * i;
        return outline.positionUsed[i] != 0 && std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
    };
    for (std::size_t i = 0; i < count; ++i) {
        if (!counts(i)) {
            allFinite = allFinite && outline.positionUsed[i] == 0;
            continue;
        }
        for (int axis = 0; axis < 3; ++axis) {
            const double value = positions[3 * i + axis];
            low[axis] = placed ? std::min(low[axis], value) : value;
            high[axis] = placed ? std::max(high[axis], value) : value;
        }
        placed = true;
    }
    for (int axis = 0; axis < 3; ++axis)
        centre[axis] = (low[axis] + high[axis]) / 2.0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!counts(i))
            continue;
        const float* p = positions + 3 * i;
        const double dx = p[0] - centre[0], dy = p[1] - centre[1], dz = p[2] - centre[2];
        radius = std::max(radius, std::sqrt(dx * dx + dy * dy + dz * dz));
    }
}
