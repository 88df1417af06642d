#include "filewatch.h"

#include <QFile>
#include <sys/stat.h>
#include <time.h>

namespace {
constexpr int64_t kRecentNs = 2'000'000'000;
}

bool FileWatch::changed(const QString &path)
{
    if (path != path_) {
        path_ = path;
        first_ = true;
    }
    struct stat st;
    const bool present = ::stat(QFile::encodeName(path_).constData(), &st) == 0;
    const int64_t size = present ? int64_t(st.st_size) : 0;
    const int64_t mtime = present ? int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec : 0;
    const uint64_t inode = present ? uint64_t(st.st_ino) : 0;
    bool changed = first_ || present != present_ || size != size_ || mtime != mtime_ns_ || inode != inode_;
    if (!changed && present) {
        struct timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        const int64_t nowNs = int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
        changed = nowNs - mtime < kRecentNs;
    }
    first_ = false;
    present_ = present;
    size_ = size;
    mtime_ns_ = mtime;
    inode_ = inode;
    return changed;
}
