#include "MaterialGroups.h"

#include <map>
#include <string>

#include "CObjRefusal.h"

namespace VESK {

namespace {

constexpr std::uint64_t maximumCorners = 0xFFFFFFFFu;

// The corner ranges of one usemtl name, in file order.
struct NamedRanges {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
    std::uint64_t corners = 0;

    void add(std::uint32_t first, std::uint32_t last)
    {
        if (last == first)
            return;
        ranges.emplace_back(first, last);
        corners += last - first;
    }
};

}  // namespace

// The work follows the size of the result, however many marks or equally
// named materials there are; an ordered map, so that no choice of names can
// make the lookups slow.
CMaterialGroups groupByMaterial(const std::vector<CNamedMaterial>& materials, const std::vector<CMaterialMark>& marks,
                                std::uint32_t cornerCount)
{
    CMaterialGroups groups;
    if (materials.empty()) {
        groups.ranges.emplace_back(0, cornerCount);
        return groups;
    }
    std::map<std::string, NamedRanges> rangesByName;
    for (const CNamedMaterial& material : materials)
        rangesByName.emplace(material.name, NamedRanges());
    NamedRanges unclaimed;
    unclaimed.add(0, marks.empty() ? cornerCount : marks[0].start);
    for (std::size_t k = 0; k < marks.size(); ++k) {
        const auto found = rangesByName.find(marks[k].name);
        (found == rangesByName.end() ? unclaimed : found->second)
            .add(marks[k].start, k + 1 < marks.size() ? marks[k + 1].start : cornerCount);
    }
    std::uint64_t total = unclaimed.corners;
    for (const CNamedMaterial& material : materials)
        total += rangesByName.find(material.name)->second.corners;
    if (total > maximumCorners)
        throw CObjRefusal("more triangle corners than 32-bit indices allow");

    std::uint32_t running = 0;
    const auto addGroup = [&](const NamedRanges& named) {
        groups.starts.push_back(running);
        groups.ranges.insert(groups.ranges.end(), named.ranges.begin(), named.ranges.end());
        running += static_cast<std::uint32_t>(named.corners);
    };
    for (const CNamedMaterial& material : materials)
        addGroup(rangesByName.find(material.name)->second);
    if (unclaimed.corners > 0)
        addGroup(unclaimed);
    return groups;
}

}  // namespace VESK
