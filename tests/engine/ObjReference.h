#pragma once

#include <string>

// The record (as recordText writes it) that an OBJ file with its MTL files
// stands for, computed the slow and literal way: whole lines split into words,
// atof and atoi, per-corner index lists, an ordered map over vertex bytes for
// equal vertices, and regrouping by scanning the marks for every material.
// Tests compare the loader against it. Only for files the loader accepts.
std::string referenceText(const std::string& path);
