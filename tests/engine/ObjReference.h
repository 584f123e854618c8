#pragma once

#include <string>

#include "MeshSnapshot.h"

// The mesh an OBJ file (with its MTL file) stands for, computed the slow and
// literal way: whole lines split into words, atof and atoi, per-corner index
// lists, an ordered map over vertex bytes for equal vertices, and regrouping
// by scanning the marks for every material. Tests compare the loader against
// it. Only for files the loader accepts.
MeshSnapshot referenceLoad(const std::string& path);
