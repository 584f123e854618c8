#pragma once

class CSceneNode;

// The viewer's toolkit callbacks and its fixed GL state: one light at the eye,
// a camera moved by the keyboard and turned by the arrow keys, and the
// per-frame walk of the scene tree. All run on the main thread with the GL
// context current.

void initLighting();
void reshape(int width, int height);
void keyboard(unsigned char key, int x, int y);
void specialKeys(int key, int x, int y);
void passiveMotion(int x, int y);
void display();

// Draws the node and everything below it, in the order a depth-first walk
// meets the frames; the tree may be of any depth.
void drawSceneNode(const CSceneNode& node);
