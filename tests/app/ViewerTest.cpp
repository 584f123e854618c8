// The viewer's callbacks in-process, for what a real run cannot reach: a
// window of no height, a scene nested deeper than GL's matrix stack, and
// where the light stands after a key. Everything a user sees is checked end
// to end (tests/e2e).
#include <vector>

#include "app/Viewer.h"
#include "app/ViewerGlobals.h"
#include "engine_gl/GLTest.h"
#include "support/PrintedOutput.h"

using ViewerTest = GLTest;

// A window folded to no height counts as one pixel high in the aspect ratio.
// Every push of the walk is matched by a pop, so one GL error is reported per
// frame and the stack is whole again afterwards.
TEST_F(ViewerTest, ZeroHeightKeepsAFiniteAspectAndDeepScenesOneGLErrorPerFrame)
{
    reshape(300, 0);
    float projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0] * 300.0f, projection[5]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    initLighting();
    EXPECT_EQ(printedBy(display), "");
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "Frame {\n";
    writeFile("deep.sg", deep);
    sceneRoot.loadSceneGraph("deep.sg");
    EXPECT_EQ(printedBy(display), "OPENGL ERROR : stack overflow\n");
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    sceneRoot.clear(nullptr);
    EXPECT_EQ(printedBy(display), "");
}

// The light goes with the camera: after the keys that move the camera right,
// down and away, it stands where the camera does, its Y turned as the view's.
TEST_F(ViewerTest, CameraKeysMoveTheLightWithTheCamera)
{
    for (const unsigned char key : {'d', 'x', 's'})
        keyboard(key, 0, 0);
    GLfloat light[4] = {};
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    EXPECT_EQ(std::vector<GLfloat>(light, light + 4), (std::vector<GLfloat>{2.0f, -2.0f, 2.0f, 1.0f}));
    cameraPosition = CMyVector<float, 3>(0.0f, 0.0f, 0.0f);
}
