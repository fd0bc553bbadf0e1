// A settings key held in memory, with switches to make each registry operation fail.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/settings.hpp"

namespace zelm {

struct MemoryRegistry {
    bool key_exists = true;
    bool can_create = true;
    std::set<std::string> failing_writes;  // names whose set fails
    std::map<std::string, std::string> values;
    std::vector<std::string> log;  // "open", "create", "query name", "set name=text", "close"
};

// Points settings_registry at registry.
void use_memory_registry(MemoryRegistry& registry);

}  // namespace zelm
