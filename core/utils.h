#ifndef UTILS_H
#define UTILS_H

#include "global.h"
#include <QString>
#include <pthread.h>

// Resolves a device path ("/data/...", "/mnt/usb1/...", "/etc/...") against the data root:
// "/" on the device, the directory of --root / KRA_ROOT on the host.
QString kra_path(const QString &devicePath);
void kra_set_root(const QString &root);
QString kra_root();

// Scoped lock of a POSIX mutex.
class MutexLocker
{
public:
    explicit MutexLocker(pthread_mutex_t *m) : m_(m) { pthread_mutex_lock(m_); }
    ~MutexLocker() { pthread_mutex_unlock(m_); }
    MutexLocker(const MutexLocker &) = delete;
    MutexLocker &operator=(const MutexLocker &) = delete;

private:
    pthread_mutex_t *m_;
};

// Common utilities. Thread-safe: every shared resource has its named lock below.
class Utils
{
public:
    static pthread_mutex_t _system_mutex;
    static pthread_mutex_t _usleep_mutex;
    static pthread_mutex_t _file_deal_mutex;
    static pthread_mutex_t _test_signal_mutex;
    static pthread_mutex_t _led_para_init_mutex;
    static pthread_mutex_t _bri_set_mutex;
    static pthread_mutex_t _spi_mutex;
    static pthread_mutex_t _fpga_multicast_mutex;
    static pthread_mutex_t _c331_bnk_mutex;
    static pthread_mutex_t _source_init_mutex;
    static pthread_mutex_t _source_hdminfo_mutex;

    // Runs one shell command under _system_mutex. While commands are recorded (always on
    // the host build) the command is not run: its line is appended to "<root>/commands.log"
    // (only ever to a regular file: anything else there is set aside first) and 0 is
    // returned.
    static int system_mutex(const QString &command, int *status);
    // Records commands instead of running them; test programs set it in every build kind,
    // so the suite of a device build runs harmlessly on a PC. No effect on the host build.
    static void set_record_commands(bool record);
    // True while commands are recorded, not run: the simulated chips and services record what
    // the device would do in the same log.
    static bool records_commands();
    // Elapsed ticks from `since` to now, across the counter's wrap.
    static u32 getTimeSpace(u32 since);
    static u32 getTimeSpace(u32 since, u32 now);
    // Applies the INI network settings to eth0 (refused unless all three are dotted quads).
    static void initIPAddress();
    // True for a well-formed dotted-quad address ("a.b.c.d", each 0..255, no extras).
    static bool isDottedQuad(const QString &text);
    // Writes a whole file through a temporary file renamed over the old one, then syncs the
    // folder so that the new name survives a power cut; 0 on success. Whatever sits at the
    // path and is no regular file (a link, a FIFO) is set aside first: the save never goes
    // through it.
    static int write_file_safely(const QString &path, const QByteArray &data);
    // Sets aside what is at `path` unless it is a regular file (of at most `limit` bytes when
    // one is given) or nothing; a link is not followed. 0 when nothing else is left there.
    static int set_aside_unless_regular(const QString &path, qint64 limit = -1);
    // Moves a rejected file aside to "<path>.bad" (replacing an older one); 0 on success.
    static int set_file_aside(const QString &path);
    // Makes the last rename or removal in the folder of `path` durable; 0 on success.
    static int sync_folder(const QString &path);

    // Opens a regular file for reading (checked before opening, so a FIFO or device is never
    // opened, and again after, in case it was swapped; opened without blocking). Returns the
    // descriptor and its size, or -1 with errno set (ENOENT: missing).
    // With `within` (a device path of a folder, such as "/mnt/usb1"), for files picked from a
    // listing that may have been swapped since: a link at the path is not followed, and the
    // file opened must lie in that folder of the data root, both by their real paths (EACCES
    // else; links at the folder or above it are followed, as they are the device's own).
    static int open_regular(const QString &path, qint64 *size, const QString &within = QString());
    enum ReadResult { READ_OK = 0, READ_MISSING = 1, READ_REFUSED = 2 };
    // Reads a whole data file of at most `limit` bytes into `out` through open_regular: a FIFO
    // or device (which would hang the reader) is refused, as is a larger file. Returns a
    // ReadResult.
    static int read_file_guarded(const QString &path, qint64 limit, QByteArray *out,
                                 const QString &within = QString());
    // Removes what interrupted saves of the application left behind (temporary files beside
    // the parameter block, user modes, JSON and INI files, and the INI's lock, which would
    // stall every settings write). Only at start-up, before anything writes.
    static void clear_save_leftovers();
    // Path of the command log.
    static QString commandLogPath();
};

// Console trace, printed only while g_debugSwitch is 254.
void kra_debug(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

enum _LogType { LOG_INFO = 0, LOG_WARN = 1, LOG_ERROR = 2 };
// Error sink: takes a kind and a text and keeps nothing.
void writeLogMsg(_LogType type, const QString &text);

#endif
