#pragma once
// Where the user's choices are kept between starts: a key holding named 32-bit values.
// The Linux build keeps them in a small text file; the Windows build in the current user's registry.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hg {

struct StoredValue {
    std::string name;
    uint32_t value = 0;
};

enum class StoreState {
    Missing,     // nothing stored yet: a first start
    Readable,    // there, and read (whatever values it held)
    Unreadable,  // there, but it could not be read: it must not be overwritten
};

struct StoredValues {
    StoreState state = StoreState::Missing;
    // The values that could be read; a name that is missing or holds no number is not listed.
    std::vector<StoredValue> values;

    std::optional<uint32_t> find(std::string_view name) const {
        for (const StoredValue& stored : values)
            if (stored.name == name) return stored.value;
        return std::nullopt;
    }
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual StoredValues readValues() const = 0;
    // Writes every value at once. False when nothing was written; the stored state is then as it
    // was. A store that exists but cannot be read is never written over.
    virtual bool writeValues(const std::vector<StoredValue>& values) = 0;
    // Where the values live, for the log: a file's path, a registry key.
    virtual std::string location() const = 0;
};

}  // namespace hg
