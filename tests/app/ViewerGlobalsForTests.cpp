#include "app/ViewerGlobals.h"

// The viewer's globals, defined here as the viewer's entry file defines them.
float windowWidth = 1024.0f;
float windowHeight = 768.0f;
CSceneNode sceneRoot;
CMyVector<float, 3> cameraPosition(0.0f, 0.0f, 0.0f);
CMyVector<float, 2> cameraRotation(0.0f, 0.0f);
