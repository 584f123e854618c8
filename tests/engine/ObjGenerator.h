#pragma once

#include <cstdint>
#include <map>
#include <string>

// A random OBJ file "gen.obj" of at least `triangles` triangles and its MTL
// files "gen.mtl" and "extra.mtl", by name, exercising what the format allows at
// once: numbers in every form atof reads, equal coordinates under different
// indices, 0.0 and -0.0, NaNs, all four face-word forms and mixed ones,
// relative indices, index words with a sign or leading zeros, polygons,
// texture and normal lines that only start after the first faces, one forward
// reference, repeated, unknown and unused materials, faces before the first
// usemtl, mtllib lines naming several files, a missing one, none, and one
// through a backslash path, CRLF lines, continued lines, comments (trailing
// ones too) and other keywords.
std::map<std::string, std::string> generateObj(int triangles, std::uint32_t seed);
