#pragma once
// Where the user's choices are kept between starts: a key holding named 32-bit values.
// The Linux build keeps them in a small text file; the Windows build in the current user's registry.
#include <cstdint>
#include <string>

namespace hg {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual bool keyExists() const = 0;
    // A missing or unreadable value reads as 0.
    virtual uint32_t readValue(const std::string& name) const = 0;
    // A value that cannot be written is lost silently; the previous stored state stays intact.
    virtual bool writeValue(const std::string& name, uint32_t value) = 0;
};

}  // namespace hg
