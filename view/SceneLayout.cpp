#include "SceneLayout.h"

#include <algorithm>
#include <cmath>

#include "app/ViewerSetup.h"

namespace {

// The viewer's projection as its window opens.
const double pi = std::acos(-1.0);
const double verticalHalfAngle = ViewerSetup::verticalFieldOfView / 2.0 * pi / 180.0;
const double horizontalHalfAngle =
    std::atan(std::tan(verticalHalfAngle) * ViewerSetup::windowWidth / ViewerSetup::windowHeight);
constexpr double nearDepth = ViewerSetup::nearPlane;
constexpr double farDepth = ViewerSetup::farPlane;

// Neighbours in the row stand this share of the largest sphere's diameter apart.
constexpr double gapShare = 0.1;

}  // namespace

SceneLayout::SceneLayout(const std::vector<ModelBounds>& models, UpAxis up)
{
    // The row's sphere centres along X, box beside box, centred as a whole.
    double largestRadius = 0.0;
    for (const ModelBounds& model : models)
        largestRadius = std::max(largestRadius, model.radius);
    const double gap = gapShare * 2.0 * largestRadius;
    std::vector<double> rowX;
    double cursor = 0.0;
    for (const ModelBounds& model : models) {
        rowX.push_back(cursor + model.centre[0] - model.low[0]);
        cursor += model.high[0] - model.low[0] + gap;
    }
    const double rowMiddle = (cursor - gap) / 2.0;

    // The least depth at which each sphere lies inside the view: within the
    // vertical and horizontal half-angles, and beyond the near plane.
    double depth = 0.0;
    for (std::size_t i = 0; i < models.size(); ++i) {
        const double r = models[i].radius;
        rowX[i] -= rowMiddle;
        depth = std::max({depth, r / std::sin(verticalHalfAngle),
                          (r + std::abs(rowX[i]) * std::cos(horizontalHalfAngle)) / std::sin(horizontalHalfAngle),
                          r + 2.0 * nearDepth});
    }

    for (std::size_t i = 0; i < models.size(); ++i) {
        const double* c = models[i].centre;
        // With the viewer's turn, a Y-up model needs a turn of 90 degrees more
        // about X (+Y up the screen, +Z towards the camera); a Z-up one none.
        // The translation brings the box centre, so turned, to (x, 0, depth).
        std::array<float, 16> m{};
        m[0] = 1.0f;
        m[15] = 1.0f;
        if (up == UpAxis::y) {
            m[6] = 1.0f;
            m[9] = -1.0f;
            m[12] = float(rowX[i] - c[0]);
            m[13] = float(c[1]);
            m[14] = float(depth + c[2]);
        } else {
            m[5] = 1.0f;
            m[10] = 1.0f;
            m[12] = float(rowX[i] - c[0]);
            m[13] = float(c[2]);
            m[14] = float(depth - c[1]);
        }
        matrices.push_back(m);
        pastFar.push_back(depth + models[i].radius > farDepth);
    }
}
