#pragma once
// What losing the X server does to the process.

namespace hg::platform::x11 {

// When the X server goes away, Xlib's own handler calls exit(), whose clean-up talks to the dead
// connection again and can spin for ever. From here on losing the server ends the process at once
// with status 1: there is no display left to restore, and the kernel frees the rest.
void endProcessWhenServerGoes();

}  // namespace hg::platform::x11
