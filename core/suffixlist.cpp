#include "suffixlist.h"

#include <QDir>
#include <QFileInfo>

QStringList kra_list_suffix(const QString &dir, const QStringList &suffixes, int max)
{
    QStringList out;
    if (dir.isEmpty())
        return out;
    const QFileInfoList entries =
        QDir(dir).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Unsorted);
    for (const QFileInfo &fi : entries) {
        if (out.size() >= max)
            break;
        if (fi.isFile() && suffixes.contains(fi.suffix(), Qt::CaseSensitive))
            out << fi.absoluteFilePath();
    }
    return out;
}
