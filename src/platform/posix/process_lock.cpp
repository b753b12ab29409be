// The lock one user's Hearthglow processes share for the music: flock on a small file. A lock
// belongs to its open file, so the kernel drops it when the holder closes it or ends in any way.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/platform.h"

namespace hg::platform {

ProcessLock::ProcessLock(std::filesystem::path path) : path_(std::move(path)) {}

ProcessLock::~ProcessLock() { release(); }

bool ProcessLock::tryAcquire() {
    if (fd_ >= 0) return true;
    // 0600: the file says nothing, but other users have no business taking it.
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void ProcessLock::release() {
    if (fd_ < 0) return;
    ::close(fd_);  // closing the file lets the lock go
    fd_ = -1;
}

}  // namespace hg::platform
