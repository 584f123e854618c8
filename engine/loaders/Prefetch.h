#pragma once

// The one place the compiler's prefetch hint is named: loops that know which
// memory they will read a little later start fetching it here, so that the
// read does not wait. A hint only: it never faults and changes no result.

namespace VESK {

inline void prefetch(const void* address)
{
    __builtin_prefetch(address);
}

}  // namespace VESK
