#ifndef RCV_RECOVERY_FILE_H
#define RCV_RECOVERY_FILE_H

#include "global.h"
#include <QString>
#include <QStringList>
#include <pthread.h>

// Reader of the receiving-card parameter packs. Used by the GUI thread (file counts of the
// screens) and by the FPGA thread (check and recovery), so its lists sit behind a mutex and
// are handed out as copies.
class rcvRecovery
{
public:
    rcvRecovery() = default;
    rcvRecovery(const rcvRecovery &) = delete;
    rcvRecovery &operator=(const rcvRecovery &) = delete;

    // 1 when the directory does not exist; otherwise lists its plain files (names only, in
    // directory order) into the list of that directory and returns 0. "/data/rcvrecovery" has
    // a list of its own; "/data/smartmapping" and "/mnt/usb1/" share the second one; any other
    // directory is not kept.
    int get_dir_file(QString dir);

    QStringList rcv_files() const;   // last listing of "/data/rcvrecovery"
    QStringList smart_files() const; // last listing of "/data/smartmapping" or "/mnt/usb1/"

    // The net-port record that the check job looked at last: the port (0-based) and how many
    // cards the stored pack holds for it (up to 256, a port's whole chain). Written by the
    // FPGA thread only.
    u8 net_port = 0;
    u16 port_cards = 0;

private:
    mutable pthread_mutex_t mutex_ = PTHREAD_MUTEX_INITIALIZER;
    QStringList rcv_files_;
    QStringList smart_files_;
};

#endif
