#pragma once

#include "CSceneNode.h"
#include "math/CMyVector.h"

// The viewer's process-wide state. The objects are defined in the viewer's
// entry file, where their construction order is fixed; a test program that
// links the viewer's library defines them itself.

extern float windowWidth;
extern float windowHeight;
extern CSceneNode sceneRoot;
extern CMyVector<float, 3> cameraPosition;
extern CMyVector<float, 2> cameraRotation;
