#pragma once

#include "../engine/CDeclaration.h"

// The vertex layout as the OpenGL renderer reads it; identical to its base.

namespace VESK_GL {

class CGLDeclaration : public VESK::CDeclaration {};

}  // namespace VESK_GL
