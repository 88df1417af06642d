#include "rcv_recovery_file.h"
#include "utils.h"

#include <QDir>

namespace {
QString withoutTrailingSlash(QString dir)
{
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}
} // namespace

int rcvRecovery::get_dir_file(QString dir)
{
    QDir d(kra_path(dir));
    if (!d.exists())
        return 1;
    const QString key = withoutTrailingSlash(dir);
    QStringList *target = nullptr;
    if (key == QLatin1String("/data/rcvrecovery"))
        target = &rcv_files_;
    else if (key == QLatin1String("/data/smartmapping") || key == QLatin1String("/mnt/usb1"))
        target = &smart_files_;
    if (!target)
        return 0;
    const QStringList names = d.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Unsorted);
    MutexLocker lock(&mutex_);
    *target = names;
    return 0;
}

QStringList rcvRecovery::rcv_files() const
{
    MutexLocker lock(&mutex_);
    return rcv_files_;
}

QStringList rcvRecovery::smart_files() const
{
    MutexLocker lock(&mutex_);
    return smart_files_;
}
