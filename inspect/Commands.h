#pragma once

#include <string>

// The commands of vesk-inspect. Each loads FILE as the viewer would, prints
// one JSON object on standard output and returns the exit status: 0 on
// success, 1 when the load fails (the engine's message on standard error).

int inspectMesh(const std::string& file, bool summary);
int inspectPicture(const std::string& file);
int inspectScene(const std::string& file);
