#pragma once

#include <cstdio>

#include "engine/loaders/CObjOutline.h"

// Gives a model read from an OBJ file without vn lines the smooth normals the
// viewer needs to light it: each position gets the area-weighted mean of the
// normals of the triangles around it, or (0, 0, 1) when they give none.

// Writes the model that the outline describes as an OBJ file: its mtllib, v,
// vt, vn, usemtl and f lines, every number written so that the viewer reads
// back the very float the outline holds, and each face corner naming its
// position's normal. The outline's indices must be in range, as a reading
// leaves them. Returns false when a write to `file` fails; the caller still
// closes it.
bool writeObjWithNormals(const VESK::CObjOutline& outline, std::FILE* file);
