#pragma once
// What makes a bake fail (an unreadable font, a file that cannot be written). The builder is one
// program that either writes every asset or stops with a message, so failures travel as this
// exception up to main().
#include <stdexcept>

namespace hg::bake {

struct BakeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace hg::bake
