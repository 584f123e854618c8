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

    const std::vector<std::string> expected = {
        " -> [ INFOS ] CResourceManager - LOADING : b.obj",
        " -> [ INFOS ] CResourceManager - LOADING : A.png",
        " -> [ ERROR ] a texture failed",
        " -> [ ERROR ] CResourceManager - LOADING : a.png",
        " -> [ ERROR ] CResourceManager - LOADING : nothing",
        " -> [ ERROR ] CResourceManager - RELEASE : A.png",
        " -> [ ERROR ] CResourceManager - RELEASE : a.png",
        " -> [ ERROR ] CResourceManager - RELEASE : b.obj",
        " -> [ ERROR ] CResourceManager - RELEASE : nothing",
    };
    const std::vector<std::string> lines = logBody();
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(isStampedLine(lines[i], expected[i])) << lines[i];
    EXPECT_EQ(destroyed, (std::vector<std::string>{"A", "a", "b"}));
}

TEST_F(ResourceManagerTest, DuplicateKeysKeepTheFirstAndNullOrAbsentEntriesGiveNull)
{
    Tracked* first = new Tracked("first");
    Tracked second("second");
    manager.addResource("k.obj", first);
    manager.addResource("k.obj", &second);
    EXPECT_EQ(logBody().size(), 1u);
    EXPECT_EQ(manager.getResource("absent"), nullptr);
    EXPECT_EQ(manager.getResource("k.obj"), first);

    manager.addResource("empty", nullptr);
    EXPECT_EQ(manager.getResource("empty"), nullptr);

    manager.releaseResource("absent");
    manager.releaseResource("k.obj");
    EXPECT_TRUE(destroyed.empty());
    EXPECT_EQ(manager.getResource("k.obj"), nullptr);
    const std::vector<std::string> lines = logBody();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(isStampedLine(lines[2], " -> [ INFOS ] CResourceManager - RELEASE : k.obj")) << lines[2];
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

TEST_F(ResourceManagerTest, NamedResourcesReleasingThemselvesDuringTheSweepAreLoggedAndDestroyedOnce)
{
    manager.addResource("a", new Tracked("a", "a"));
    manager.addResource("b", new Tracked("b", "c"));
    manager.addResource("c", new Tracked("c", "c"));
    manager.releaseAll();

    EXPECT_EQ(destroyed, (std::vector<std::string>{"a", "b", "c"}));
    const std::vector<std::string> lines = logBody();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_TRUE(isStampedLine(lines[3], " -> [ INFOS ] CResourceManager - RELEASE : a")) << lines[3];
    EXPECT_TRUE(isStampedLine(lines[4], " -> [ INFOS ] CResourceManager - RELEASE : b")) << lines[4];
    EXPECT_TRUE(isStampedLine(lines[5], " -> [ INFOS ] CResourceManager - RELEASE : c")) << lines[5];
    EXPECT_EQ(manager.getResource("c"), nullptr);
}

TEST_F(ResourceManagerTest, ANamedResourceDestroyedByItsOwnerLeavesTheRegistry)
{
    Tracked* named = new Tracked("n", "n.png");
    manager.addResource("n.png", named);
    delete named;
    EXPECT_EQ(manager.getResource("n.png"), nullptr);
    const std::vector<std::string> lines = logBody();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(isStampedLine(lines[1], " -> [ INFOS ] CResourceManager - RELEASE : n.png")) << lines[1];
}
