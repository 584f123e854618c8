// Tests of the end-to-end harness itself, without the viewer: child processes
// started from small shell scripts, and a plain Xlib window that this test
// program creates on a second connection to play the program under test.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip on.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <signal.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "RgbImage.h"
#include "ViewerProcess.h"
#include "XSession.h"

namespace {

using namespace std::chrono_literals;

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// True while the process exists and has not finished (a zombie counts as ended).
bool processAlive(pid_t pid)
{
    const std::string stat = readBytes("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

// Runs "./run.sh" with the given body, written into the child's working directory.
void writeScript(ViewerProcess& process, const std::string& body)
{
    ASSERT_TRUE(process.writeFile("run.sh", "#!/bin/sh\n" + body));
    std::filesystem::permissions(process.workingDirectory() / "run.sh", std::filesystem::perms::owner_all);
}

TEST(ViewerProcessTest, ChildRunsInItsOwnFolderWithItsOutputInFilesAndExtraEnvironment)
{
    std::filesystem::path folder;
    {
        ViewerProcess process("./run.sh");
        folder = process.workingDirectory();
        EXPECT_TRUE(std::filesystem::is_directory(folder));
        writeScript(process,
            "echo \"$VESK_TEST_VALUE\" \"$(pwd -P)\"\n"
            "echo complaint >&2\n"
            "printf 'global' > global.log\n"
            "printf 'memory' > memory.log\n"
            "exit 255\n");
        process.setEnvironment("VESK_TEST_VALUE", "two words");
        ASSERT_TRUE(process.start());
        EXPECT_FALSE(process.start());
        const ViewerProcess::Result result = process.waitForExit(5s);

        EXPECT_TRUE(result.started);
        EXPECT_TRUE(result.exited);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitStatus, 255);
        EXPECT_EQ(result.signal, 0);
        EXPECT_EQ(result.standardOutput, "two words " + std::filesystem::canonical(folder).string() + "\n");
        EXPECT_EQ(result.standardError, "complaint\n");
        EXPECT_EQ(result.globalLog, "global");
        EXPECT_EQ(result.memoryLog, "memory");
        EXPECT_FALSE(process.isRunning());
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(ViewerProcessTest, ChildThatOutlivesTheWaitIsKilledWithWhatItStarted)
{
    ViewerProcess process("./run.sh");
    writeScript(process, "sleep 30 &\necho $! > sleeper.pid\nwait\n");
    ASSERT_TRUE(process.start());
    for (int i = 0; i < 200 && process.readFile("sleeper.pid").empty(); ++i)
        std::this_thread::sleep_for(10ms);
    const pid_t sleeper = std::stoi(process.readFile("sleeper.pid"));
    EXPECT_TRUE(processAlive(sleeper));

    const auto before = std::chrono::steady_clock::now();
    const ViewerProcess::Result result = process.waitForExit(300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 3s);
    EXPECT_TRUE(result.timedOut);
    EXPECT_FALSE(result.exited);
    EXPECT_EQ(result.signal, SIGKILL);
    for (int i = 0; i < 200 && processAlive(sleeper); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(processAlive(sleeper));
}

TEST(ViewerProcessTest, DestructionKillsARunningChildAndAMissingProgramExitsWith127)
{
    pid_t child = 0;
    {
        ViewerProcess process("./run.sh");
        writeScript(process, "exec sleep 30\n");
        ASSERT_TRUE(process.start());
        child = process.pid();
        EXPECT_TRUE(process.isRunning());
    }
    EXPECT_FALSE(processAlive(child));

    ViewerProcess missing("./no-such-program");
    EXPECT_FALSE(missing.waitForExit(100ms).started);
    ASSERT_TRUE(missing.start());
    const ViewerProcess::Result result = missing.waitForExit(5s);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 127);
}

TEST(RgbImageTest, SavesPngAndPpmHoldingExactlyItsPixels)
{
    RgbImage image(3, 2);
    image.set(0, 0, {255, 0, 0});
    image.set(2, 1, {1, 2, 3});
    EXPECT_EQ(image.at(2, 1), (RgbImage::Pixel{1, 2, 3}));
    EXPECT_EQ(image.countDifferences(RgbImage(3, 2)), 2u);
    EXPECT_EQ(image.countDifferences(RgbImage(2, 3)), 6u);

    const std::string folder = ::testing::TempDir();
    ASSERT_TRUE(image.savePpm(folder + "image.ppm"));
    const std::string pixels("\xff\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x01\x02\x03", 18);
    EXPECT_EQ(readBytes(folder + "image.ppm"), "P6\n3 2\n255\n" + pixels);

    ASSERT_TRUE(image.savePng(folder + "image.png"));
    const std::string png = readBytes(folder + "image.png");
    ASSERT_GT(png.size(), 57u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(8, 21),
        std::string("\0\0\0\x0dIHDR\0\0\0\x03\0\0\0\x02\x08\x02\0\0\0", 21));
    const auto be32 = [&png](std::size_t at) {
        return (std::uint32_t(std::uint8_t(png[at])) << 24) | (std::uint32_t(std::uint8_t(png[at + 1])) << 16)
               | (std::uint32_t(std::uint8_t(png[at + 2])) << 8) | std::uint32_t(std::uint8_t(png[at + 3]));
    };
    EXPECT_EQ(be32(29), crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17));
    const std::uint32_t dataSize = be32(33);
    ASSERT_EQ(png.substr(37, 4), "IDAT");
    std::vector<Bytef> raw(32);
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(png.data() + 41), dataSize), Z_OK);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(raw.data()), rawSize),
        std::string(1, '\0') + pixels.substr(0, 9) + std::string(1, '\0') + pixels.substr(9));
    EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12));

    EXPECT_FALSE(RgbImage().savePng(folder + "empty.png"));
}

// A bare window that stands in for the program under test, on a connection of its own.
class XSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program = XOpenDisplay(nullptr);
        ASSERT_NE(program, nullptr);
    }

    void TearDown() override { XCloseDisplay(program); }

    Window openWindow(const char* title, unsigned long owner, unsigned long background)
    {
        const Window window = XCreateSimpleWindow(
            program, DefaultRootWindow(program), 50, 50, 64, 48, 0, 0, background);
        XStoreName(program, window, title);
        Atom deleteWindow = XInternAtom(program, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(program, window, &deleteWindow, 1);
        XChangeProperty(program, window, XInternAtom(program, "_NET_WM_PID", False), XA_CARDINAL, 32,
            PropModeReplace, reinterpret_cast<unsigned char*>(&owner), 1);
        XSelectInput(program, window, KeyPressMask | KeyReleaseMask);
        XMapWindow(program, window);
        XSync(program, False);
        return window;
    }

    // The next event of the window, waiting at most two seconds.
    bool nextEvent(XEvent& event)
    {
        for (int i = 0; i < 200; ++i) {
            if (XPending(program) > 0) {
                XNextEvent(program, &event);
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    Display* program = nullptr;
    XSession session;
};

TEST_F(XSessionTest, FindsFocusesTypesCapturesAndClosesTheNamedWindowOfTheProcess)
{
    const Window other = openWindow("My Window", static_cast<unsigned long>(getpid()) + 1, 0x000000);
    EXPECT_EQ(session.waitForWindow("My Window", getpid(), 200ms), None);
    const Window window = openWindow("My Window", static_cast<unsigned long>(getpid()), 0x336699);
    EXPECT_EQ(session.waitForWindow("My Window", getpid()), window);
    EXPECT_EQ(session.waitForWindow("No Window", 0, 100ms), None);

    ASSERT_TRUE(session.focus(window));
    ASSERT_TRUE(session.tapKey(XK_d));
    ASSERT_TRUE(session.tapKey(XK_Left));
    const KeySym expected[] = {XK_d, XK_d, XK_Left, XK_Left};
    for (int i = 0; i < 4; ++i) {
        XEvent event;
        ASSERT_TRUE(nextEvent(event));
        EXPECT_EQ(event.type, i % 2 == 0 ? KeyPress : KeyRelease);
        EXPECT_EQ(XLookupKeysym(&event.xkey, 0), expected[i]);
    }

    const RgbImage before = session.capture(window);
    ASSERT_EQ(before.width(), 64);
    ASSERT_EQ(before.height(), 48);
    EXPECT_EQ(before.countDifferences(before), 0u);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(before.at(x, y), (RgbImage::Pixel{0x33, 0x66, 0x99}));
    EXPECT_EQ(session.waitForChange(window, before, 100ms), before);
    XSetWindowBackground(program, window, 0xff8000);
    XClearWindow(program, window);
    XSync(program, False);
    EXPECT_EQ(session.waitForChange(window, before).centre(), (RgbImage::Pixel{0xff, 0x80, 0x00}));

    ASSERT_TRUE(session.closeWindow(window));
    XEvent event;
    ASSERT_TRUE(nextEvent(event));
    ASSERT_EQ(event.type, ClientMessage);
    EXPECT_EQ(event.xclient.message_type, XInternAtom(program, "WM_PROTOCOLS", False));
    EXPECT_EQ(static_cast<Atom>(event.xclient.data.l[0]), XInternAtom(program, "WM_DELETE_WINDOW", False));

    // A window that is gone reads as an empty picture, not as a fatal X error.
    XDestroyWindow(program, window);
    XDestroyWindow(program, other);
    XSync(program, False);
    EXPECT_TRUE(session.capture(window).empty());
    EXPECT_FALSE(session.closeWindow(window));
    EXPECT_FALSE(session.focus(window));
}

} // namespace
