#include "Viewer.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "CSceneNode.h"
#include "ViewerGlobals.h"
#include "ViewerSetup.h"
#include "engine/resources/CResourceManager.h"
#include "engine_gl/CGLModel.h"
#include "engine_gl/CGLTexture.h"

namespace {

constexpr float cameraStep = 2.0f;

void lookDownPositiveZ()
{
    gluLookAt(0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, -1.0, 0.0);
}

// Enters one frame: its matrix, then every model named at it.
void drawFrameMeshes(const CSceneNode& node)
{
    glPushMatrix();
    glMultMatrixf(node.transform);
    VESK::CResourceManager& resources = VESK::CResourceManager::getInstance();
    for (const std::string& name : node.meshNames) {
        glPushMatrix();
        glRotatef(ViewerSetup::modelTurn, 1.0f, 0.0f, 0.0f);
        const std::string key = name + ".obj";
        // Checked casts: a key names a model or a texture only by convention.
        auto* model = dynamic_cast<VESK_GL::CGLModel*>(resources.getResource(key));
        if (model != nullptr) {
            for (unsigned int i = 0; i < model->getSubMeshCount(); ++i) {
                const std::string textureName = model->getTextureName(i);
                auto* texture = dynamic_cast<VESK_GL::CGLTexture<GL_TEXTURE_2D>*>(resources.getResource(textureName));
                model->drawSubMesh(texture, i);
            }
        } else {
            std::cout << key << " not found!" << std::endl;
        }
        glPopMatrix();
    }
}

}  // namespace

void initLighting()
{
    glPolygonMode(GL_FRONT, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    lookDownPositiveZ();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat position[4] = {cameraPosition[0], cameraPosition[1], cameraPosition[2], 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
}

void reshape(int width, int height)
{
    windowWidth = static_cast<float>(width);
    windowHeight = static_cast<float>(height);
    glViewport(0, 0, static_cast<GLsizei>(windowWidth), static_cast<GLsizei>(windowHeight));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A window folded to no height keeps a finite projection.
    const float aspectHeight = windowHeight > 0.0f ? windowHeight : 1.0f;
    gluPerspective(ViewerSetup::verticalFieldOfView, windowWidth / aspectHeight,
                   static_cast<double>(ViewerSetup::nearPlane), ViewerSetup::farPlane);
}

void keyboard(unsigned char key, int, int)
{
    switch (key) {
    case 27: std::exit(0);
    case 'd': cameraPosition[0] += cameraStep; break;
    case 'q': cameraPosition[0] -= cameraStep; break;
    case 'w': cameraPosition[1] -= cameraStep; break;
    case 'x': cameraPosition[1] += cameraStep; break;
    case 's': cameraPosition[2] += cameraStep; break;
    case 'z': cameraPosition[2] -= cameraStep; break;
    default: break;
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat position[4] = {cameraPosition[0], -cameraPosition[1], cameraPosition[2], 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    lookDownPositiveZ();
}

void specialKeys(int key, int, int)
{
    switch (key) {
    case GLUT_KEY_LEFT: cameraRotation[0] += cameraStep; break;
    case GLUT_KEY_UP: cameraRotation[1] -= cameraStep; break;
    case GLUT_KEY_RIGHT: cameraRotation[0] -= cameraStep; break;
    case GLUT_KEY_DOWN: cameraRotation[1] += cameraStep; break;
    default: break;
    }
}

void passiveMotion(int, int) {}

void display()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glRotatef(cameraRotation[1], 1.0f, 0.0f, 0.0f);
    glRotatef(cameraRotation[0], 0.0f, 1.0f, 0.0f);
    glTranslatef(cameraPosition[0], cameraPosition[1], cameraPosition[2]);
    drawSceneNode(sceneRoot);
    glPopMatrix();
    glutSwapBuffers();

    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        const GLubyte* text = gluErrorString(error);
        std::cout << "OPENGL ERROR : " << (text != nullptr ? reinterpret_cast<const char*>(text) : "") << std::endl;
    }
}

void drawSceneNode(const CSceneNode& node)
{
    // Each entry is a frame whose matrix is pushed and the index of its next
    // child to visit; the frame's matrix is popped once all children are drawn.
    std::vector<std::pair<const CSceneNode*, std::size_t>> open;
    drawFrameMeshes(node);
    open.emplace_back(&node, 0);
    while (!open.empty()) {
        auto& [frame, next] = open.back();
        if (next < frame->children.size()) {
            const CSceneNode* child = frame->children[next++];
            drawFrameMeshes(*child);
            open.emplace_back(child, 0);
        } else {
            glPopMatrix();
            open.pop_back();
        }
    }
}
