#pragma once

// The fixed facts of the viewer that the programs around it must share: where
// it reads its scene, the window it opens, how its camera sees and how it
// turns every model. Plain constants without GL, so that vesk-view, which
// lays scenes out for the viewer, states none of them a second time.

namespace ViewerSetup {

constexpr const char* sceneFile = "SceneGraph.sg";
// The folder of the meshes and pictures; a mesh Tree is read from Data/Tree.obj.
constexpr const char* dataFolder = "Data/";

// The window's size as it opens.
constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;

// The projection: the vertical field of view in degrees, and the depths of
// the clipping planes, between which everything is drawn.
constexpr double verticalFieldOfView = 45.0;
constexpr float nearPlane = 0.1f;
constexpr double farPlane = 10000.0;

// Every model is turned by this many degrees about its own X axis inside its
// frame, so that its +Z comes up the screen.
constexpr float modelTurn = 90.0f;

}  // namespace ViewerSetup
