#ifndef SUFFIXLIST_H
#define SUFFIXLIST_H

#include <QString>
#include <QStringList>

// The plain files of `dir` (no symbolic links) whose suffix, the part after the last ".",
// is exactly one of `suffixes` (case-sensitive), as absolute paths in directory order, at
// most `max`. A missing directory lists nothing. The file pickers and the jobs that read
// the picked files list through here, so both see the same files.
QStringList kra_list_suffix(const QString &dir, const QStringList &suffixes, int max);

#endif
