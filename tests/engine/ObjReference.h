#pragma once

#include <string>

#include "engine/loaders/CMeshData.h"

// A mesh record as one line of text, equal for two records exactly when they
// are equal: "stride layout | vertex floats | indices |", then per sub-mesh
// "'name' first+count texture" and the material values that differ from the
// default material's (* when none do). A layout entry is its usage (p, n, c,
// t), element type and @offset; "." is the end marker. Floats are written in
// the shortest form that reads back to the same bits, NaNs as "nan" and their
// bits in hexadecimal.
std::string recordText(const VESK::CMeshData& mesh);

// The record text of what an OBJ file with its MTL files stands for, computed
// the slow and literal way: whole lines split into words, atof and atoi,
// per-corner index lists, an ordered map over vertex bytes for equal vertices,
// and regrouping by scanning the triangles for every material. Tests compare
// the loader against it. Only for files the loader accepts.
std::string referenceText(const std::string& path);
