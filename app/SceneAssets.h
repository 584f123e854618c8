#pragma once

// Loads, once each, the model of every distinct mesh name of sceneRoot and the
// texture of every picture its materials name, and registers them with the
// resource manager: a model under its mesh name followed by ".obj", a texture
// under its file name as written. Needs the GL context, the renderer and the
// two standard loaders. What cannot be loaded is skipped (the loader factory
// has logged why).
void loadSceneAssets();
