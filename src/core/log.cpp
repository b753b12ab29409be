#include "core/log.h"

namespace hg {

void Log::open(const std::string& path) {
    file_.close();
    file_.clear();
    file_.open(path, std::ios::out | std::ios::trunc);
}

void Log::close() { file_.close(); }

void Log::writeLine(std::string_view text) {
    if (!file_.is_open()) return;
    file_ << text << '\n';
    file_.flush();
}

}  // namespace hg
