#include <limits>
#include <string>
#include <vector>

#include "engine/resources/CResource.h"
#include "engine/resources/CResourceManager.h"
#include "support/LoggedWorkDir.h"

using namespace VESK;

namespace {

std::vector<std::string> destroyed;

// Records its label when destroyed; a resource given a name takes its own
// entry out of the registry as it goes.
struct Tracked : CResource {
    explicit Tracked(std::string label, std::string ownName = "") : label(std::move(label)) { name = std::move(ownName); }
    ~Tracked() override { destroyed.push_back(label); }
    std::string label;
};

using ResourceManagerTest = LoggedWorkDir;

}  // namespace

TEST_F(ResourceManagerTest, EntriesAreLoggedInByteOrderAndDestroyedOnceWhoeverDestroysThem)
{
    CResourceManager& manager = CResourceManager::getInstance();
    manager.releaseAll();
    Tracked* first = new Tracked("first");
    Tracked second("second");
    manager.addResource("k.obj", first);
    manager.addResource("k.obj", &second);
    manager.addResource("nothing", nullptr);
    EXPECT_EQ(manager.getResource("absent"), nullptr);
    EXPECT_EQ(manager.getResource("nothing"), nullptr);
    // The viewer looks each drawn resource up on every frame: the count of a
    // long run stops at the largest int instead of overflowing.
    first->useCount = std::numeric_limits<int>::max() - 1;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(manager.getResource("k.obj"), first);
    EXPECT_EQ(first->useCount, std::numeric_limits<int>::max());
    manager.releaseResource("absent");
    manager.releaseResource("k.obj");
    EXPECT_EQ(manager.getResource("k.obj"), nullptr);
    delete first;

    Tracked* named = new Tracked("n", "n.png");
    manager.addResource("n.png", named);
    delete named;
    EXPECT_EQ(manager.getResource("n.png"), nullptr);
    manager.addResource("b", new Tracked("b", "c"));
    manager.addResource("c", new Tracked("c", "c"));
    manager.addResource("B", new Tracked("B"));
    // Lines after an error carry its tag.
    DEBUGGING::logMessage(DEBUGGING::LOG_ERROR, "a texture failed");
    manager.addResource("a", new Tracked("a", "a"));
    manager.releaseAll();
    manager.releaseAll();

    EXPECT_EQ(destroyed, (std::vector<std::string>{"first", "n", "B", "a", "b", "c"}));
    EXPECT_EQ(logBody("T -> [ "), (std::vector<std::string>{
        "INFOS ] CResourceManager - LOADING : k.obj",
        "INFOS ] CResourceManager - LOADING : nothing",
        "INFOS ] CResourceManager - RELEASE : k.obj",
        "INFOS ] CResourceManager - LOADING : n.png",
        "INFOS ] CResourceManager - RELEASE : n.png",
        "INFOS ] CResourceManager - LOADING : b",
        "INFOS ] CResourceManager - LOADING : c",
        "INFOS ] CResourceManager - LOADING : B",
        "ERROR ] a texture failed",
        "ERROR ] CResourceManager - LOADING : a",
        "ERROR ] CResourceManager - RELEASE : B",
        "ERROR ] CResourceManager - RELEASE : a",
        "ERROR ] CResourceManager - RELEASE : b",
        "ERROR ] CResourceManager - RELEASE : c",
        "ERROR ] CResourceManager - RELEASE : nothing",
    }));
}
