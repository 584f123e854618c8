#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <memory>

#include "HostileInput.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"

using namespace VESK;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool underAddressSanitizer = true;
#else
constexpr bool underAddressSanitizer = false;
#endif

// The address space the process uses now, from /proc/self/status.
std::uint64_t addressSpaceBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, 7, "VmSize:") == 0)
            return std::stoull(line.substr(7)) * 1024;
    return 0;
}

using MemoryExhaustionTest = FactoryLoadTest;

}  // namespace

TEST_F(MemoryExhaustionTest, AnObjTooLargeForTheAddressSpaceFailsWithTheLoaderMessage)
{
    // AddressSanitizer reports a failed allocation and ends the process
    // instead of throwing std::bad_alloc: the behaviour under test does not
    // exist in that build.
    if (underAddressSanitizer)
        GTEST_SKIP() << "allocation failures end the process under AddressSanitizer";

    // A million distinct vertices in a third of a million triangles: about
    // 23 MB of text that needs several times that in memory.
    {
        std::ofstream out("big.obj");
        for (int i = 1; i <= 1000000; ++i)
            out << "v " << i << " 0 0\n";
        for (int i = 1; i <= 999998; i += 3)
            out << "f " << i << ' ' << i + 1 << ' ' << i + 2 << '\n';
    }
    CFactoryLoader::registerLoader(new CObjLoader());

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const rlimit limit{addressSpaceBytes() + (16 << 20), addressSpaceBytes() + (16 << 20)};
        setrlimit(RLIMIT_AS, &limit);
        void* record = CFactoryLoader::loadFromFile("big.obj");
        _exit(record == nullptr ? 3 : 4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 3);
    const std::vector<std::string> lines = logBody();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(isStampedLine(lines[0], " -> [ ERROR ] VESK::CObjLoader::loadFromFile big.obj [FAILED] (out of memory)"))
        << lines[0];

    // Without the limit the same file loads.
    const std::unique_ptr<CMeshData> mesh(static_cast<CMeshData*>(CFactoryLoader::loadFromFile("big.obj")));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->vertexCount, 999999u);
}
