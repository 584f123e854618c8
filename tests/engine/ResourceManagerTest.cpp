#include <limits>
#include <string>
#include <vector>

#include "engine/resources/CResource.h"
#include "engine/resources/CResourceManager.h"
#include "support/LoggedWorkDir.h"

using namespace VESK;

namespace {

std::vector<std::string> destroyed;

struct Tracked : CResource {
    explicit Tracked(std::string label, std::string ownName = "") : label(std::move(label))
    {
        name = std::move(ownName);
    }
    ~Tracked() override { destroyed.push_back(label); }
    std::string label;
};

class ResourceManagerTest : public LoggedWorkDir {
protected:
    void SetUp() override
    {
        LoggedWorkDir::SetUp();
        destroyed.clear();
    }
    void TearDown() override
    {
        manager.releaseAll();
        LoggedWorkDir::TearDown();
    }
    static void expectBody(const std::vector<std::string>& expected)
    {
        const std::vector<std::string> lines = logBody();
        ASSERT_EQ(lines.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(isStampedLine(lines[i], expected[i])) << lines[i];
    }
    CResourceManager& manager = CResourceManager::getInstance();
};

}  // namespace

TEST_F(ResourceManagerTest, LoadingAndReleaseLinesInByteOrderWithTheCurrentTag)
{
    manager.releaseAll();
    EXPECT_TRUE(logBody().empty());

    manager.addResource("b.obj", new Tracked("b"));
    manager.addResource("A.png", new Tracked("A"));
    DEBUGGING::logMessage(DEBUGGING::LOG_ERROR, "a texture failed");
    manager.addResource("a.png", new Tracked("a"));
    manager.addResource("nothing", nullptr);
    manager.releaseAll();
    manager.releaseAll();

    expectBody({
        " -> [ INFOS ] CResourceManager - LOADING : b.obj",
        " -> [ INFOS ] CResourceManager - LOADING : A.png",
        " -> [ ERROR ] a texture failed",
        " -> [ ERROR ] CResourceManager - LOADING : a.png",
        " -> [ ERROR ] CResourceManager - LOADING : nothing",
        " -> [ ERROR ] CResourceManager - RELEASE : A.png",
        " -> [ ERROR ] CResourceManager - RELEASE : a.png",
        " -> [ ERROR ] CResourceManager - RELEASE : b.obj",
        " -> [ ERROR ] CResourceManager - RELEASE : nothing",
    });
    EXPECT_EQ(destroyed, (std::vector<std::string>{"A", "a", "b"}));
}

TEST_F(ResourceManagerTest, DuplicateKeysKeepTheFirstAndNullOrAbsentEntriesGiveNull)
{
    Tracked* first = new Tracked("first");
    Tracked second("second");
    manager.addResource("k.obj", first);
    manager.addResource("k.obj", &second);
    EXPECT_EQ(manager.getResource("absent"), nullptr);
    EXPECT_EQ(manager.getResource("k.obj"), first);

    manager.addResource("empty", nullptr);
    EXPECT_EQ(manager.getResource("empty"), nullptr);

    manager.releaseResource("absent");
    manager.releaseResource("k.obj");
    EXPECT_TRUE(destroyed.empty());
    EXPECT_EQ(manager.getResource("k.obj"), nullptr);
    expectBody({" -> [ INFOS ] CResourceManager - LOADING : k.obj", " -> [ INFOS ] CResourceManager - LOADING : empty",
                " -> [ INFOS ] CResourceManager - RELEASE : k.obj"});
    delete first;
}

// The viewer looks each drawn resource up on every frame: the count of a
// long run stops at the largest int instead of overflowing.
TEST_F(ResourceManagerTest, UseCountStopsAtTheLargestInt)
{
    Tracked* resource = new Tracked("r");
    manager.addResource("r.png", resource);
    resource->useCount = std::numeric_limits<int>::max() - 1;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(manager.getResource("r.png"), resource);
    EXPECT_EQ(resource->useCount, std::numeric_limits<int>::max());
}

// A named resource takes its own entry out of the registry when it is
// destroyed, by its owner or by the sweep itself.
TEST_F(ResourceManagerTest, NamedResourcesAreLoggedAndDestroyedOnceWhoeverDestroysThem)
{
    Tracked* named = new Tracked("n", "n.png");
    manager.addResource("n.png", named);
    delete named;
    EXPECT_EQ(manager.getResource("n.png"), nullptr);
    manager.addResource("a", new Tracked("a", "a"));
    manager.addResource("b", new Tracked("b", "c"));
    manager.addResource("c", new Tracked("c", "c"));
    manager.releaseAll();

    EXPECT_EQ(destroyed, (std::vector<std::string>{"n", "a", "b", "c"}));
    EXPECT_EQ(manager.getResource("c"), nullptr);
    expectBody({" -> [ INFOS ] CResourceManager - LOADING : n.png", " -> [ INFOS ] CResourceManager - RELEASE : n.png",
                " -> [ INFOS ] CResourceManager - LOADING : a", " -> [ INFOS ] CResourceManager - LOADING : b",
                " -> [ INFOS ] CResourceManager - LOADING : c", " -> [ INFOS ] CResourceManager - RELEASE : a",
                " -> [ INFOS ] CResourceManager - RELEASE : b", " -> [ INFOS ] CResourceManager - RELEASE : c"});
}
