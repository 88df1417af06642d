#ifndef FILEWATCH_H
#define FILEWATCH_H

#include <QString>
#include <cstdint>

// Tells from a file's status (stat) whether it may have changed since the last look, so a
// poller reads the file only then. A file modified within the last two seconds always counts
// as changed: file times are coarser than quick successive writes. Not thread-safe: one
// poller owns it.
class FileWatch
{
public:
    // True on the first call, for another path than last time, and whenever the file
    // appeared, went away or changed.
    bool changed(const QString &path);

private:
    QString path_;
    bool first_ = true;
    bool present_ = false;
    int64_t size_ = 0;
    int64_t mtime_ns_ = 0;
    uint64_t inode_ = 0;
};

#endif
