#include "alias.h"
#include "json_file.h"
#include "utils.h"

#include <QFile>
#include <boost/property_tree/ptree.hpp>
#include <map>
#include <sys/stat.h>

namespace pt = boost::property_tree;

namespace {
// A screen looks up dozens of names as it opens, so the file is parsed once and parsed
// again only when it was replaced or rewritten.
struct NamesCache {
    bool valid = false;
    QString path;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    std::map<std::pair<std::string, int>, ALIAS_PARA> entries; // first entry of an id wins
};
NamesCache s_names;
pthread_mutex_t s_names_mutex = PTHREAD_MUTEX_INITIALIZER;

bool sameFile(const NamesCache &c, const QString &path, const struct stat &st)
{
    return c.valid && c.path == path && c.dev == st.st_dev && c.ino == st.st_ino
           && c.size == st.st_size && c.mtime.tv_sec == st.st_mtim.tv_sec
           && c.mtime.tv_nsec == st.st_mtim.tv_nsec;
}

void fillGroup(const std::string &name, const pt::ptree &group)
{
    for (const auto &item : group) {
        const pt::ptree &e = item.second;
        const auto id = e.get_optional<int>("id");
        if (!id)
            continue;
        ALIAS_PARA entry;
        entry.id = *id;
        entry.valid = e.get<std::string>("valid", "");
        entry.name = e.get<std::string>("name", "");
        s_names.entries.emplace(std::make_pair(name, *id), entry);
    }
}

// "namelist" holds the groups by name, or a list of such objects.
void fillCache(const pt::ptree &root)
{
    const auto namelist = root.get_child_optional("namelist");
    if (!namelist)
        return;
    for (const auto &group : *namelist) {
        if (!group.first.empty()) {
            fillGroup(group.first, group.second);
            continue;
        }
        for (const auto &inner : group.second)
            if (!inner.first.empty())
                fillGroup(inner.first, inner.second);
    }
}
} // namespace

QString alias_file_path()
{
    return kra_path(QStringLiteral("/data/configs/alias.json"));
}

int get_json_alias_para(ALIAS_PARA *out, const std::string &group, int id)
{
    const QString path = alias_file_path();
    MutexLocker lock(&s_names_mutex);
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        s_names = NamesCache();
        return 0;
    }
    if (!sameFile(s_names, path, st)) {
        s_names = NamesCache();
        pt::ptree root;
        if (kra_read_json_file(path, &root) != JSON_OK)
            return 0;
        fillCache(root);
        s_names.valid = true;
        s_names.path = path;
        s_names.dev = st.st_dev;
        s_names.ino = st.st_ino;
        s_names.size = st.st_size;
        s_names.mtime = st.st_mtim;
    }
    const auto it = s_names.entries.find(std::make_pair(group, id));
    if (it == s_names.entries.end())
        return 0;
    const ALIAS_PARA &e = it->second;
    if (e.valid == "off" || e.name.empty())
        return 0;
    if (out)
        *out = e;
    return 1;
}
