#pragma once

#include <cstdio>

#include "engine/loaders/CObjOutline.h"

// Gives a model read from an OBJ file without vn lines the smooth normals that
// the viewer lights it with: each position gets the area-weighted mean of the
// normals of the triangles around it, or (0, 0, 1) where they give none.

// Writes the model that the outline describes (indices in range, as a reading
// leaves them) as an OBJ file of mtllib, v, vt, vn, usemtl and f lines, each
// number in a form that the viewer reads back as the very same float and each
// face corner naming its position's vn line. Returns false when a write to
// `file` fails; the caller still closes it.
bool writeObjWithNormals(const VESK::CObjOutline& outline, std::FILE* file);
