#pragma once

#include <string>
#include <vector>

// The names of other files that OBJ and MTL files give, read as the OBJ loader
// reads them: every word after `mtllib`, on every `mtllib` line of an OBJ
// file, names one MTL file; the word after `map_Kd` in an MTL file names a
// picture. Both return the names in file order, each once; a file that cannot
// be read names nothing.

std::vector<std::string> readMtlNames(const std::string& objFile);
std::vector<std::string> readPictureNames(const std::string& mtlFile);
