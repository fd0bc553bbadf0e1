#include "tests/unit/settings/memory_registry.hpp"

#include <cstring>

namespace zelm {

namespace {

MemoryRegistry& of(void* context) {
    return *static_cast<MemoryRegistry*>(context);
}

int open_key(void* context) {
    of(context).log.push_back("open");
    return of(context).key_exists ? 1 : 0;
}

int create_key(void* context) {
    MemoryRegistry& reg = of(context);
    reg.log.push_back("create");
    if (!reg.can_create) {
        return 0;
    }
    reg.key_exists = true;
    return 1;
}

int query_value(void* context, const char* subkey, char* buf, int capacity) {
    MemoryRegistry& reg = of(context);
    reg.log.push_back(std::string("query ") + subkey);
    auto it = reg.values.find(subkey);
    if (it == reg.values.end() || it->second.size() + 1 > static_cast<std::size_t>(capacity)) {
        return 0;
    }
    std::memcpy(buf, it->second.c_str(), it->second.size() + 1);
    return 1;
}

int set_value(void* context, const char* subkey, const char* text) {
    MemoryRegistry& reg = of(context);
    reg.log.push_back(std::string("set ") + subkey + "=" + text);
    if (reg.failing_writes.count(subkey) != 0) {
        return 0;
    }
    reg.values[subkey] = text;
    return 1;
}

void close_key(void* context) {
    of(context).log.push_back("close");
}

}  // namespace

void use_memory_registry(MemoryRegistry& registry) {
    settings_registry = {&registry, open_key, create_key, query_value, set_value, close_key};
}

}  // namespace zelm
