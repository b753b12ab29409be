#pragma once
// Windows speaks UTF-16; the portable code speaks UTF-8.
#include <string>
#include <string_view>

namespace hg::platform::win32 {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

}  // namespace hg::platform::win32
