#include "alias.h"
#include "utils.h"

#include <QFile>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <sstream>

namespace pt = boost::property_tree;

QString alias_file_path()
{
    return kra_path(QStringLiteral("/data/configs/alias.json"));
}

int get_json_alias_para(ALIAS_PARA *out, const std::string &group, int id)
{
    const QString path = alias_file_path();
    QByteArray bytes;
    {
        MutexLocker lock(&Utils::_file_deal_mutex);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        bytes = file.readAll();
    }
    pt::ptree root;
    try {
        std::istringstream in(std::string(bytes.constData(), size_t(bytes.size())));
        pt::read_json(in, root);
    } catch (const pt::ptree_error &) {
        MutexLocker lock(&Utils::_file_deal_mutex);
        Utils::set_file_aside(path);
        return 0;
    }
    const auto list = root.get_child_optional("namelist." + group);
    if (!list)
        return 0;
    for (const auto &item : *list) {
        const pt::ptree &e = item.second;
        const auto eid = e.get_optional<int>("id");
        if (!eid || *eid != id)
            continue;
        const std::string valid = e.get<std::string>("valid", "");
        const std::string name = e.get<std::string>("name", "");
        if (valid == "off" || name.empty())
            return 0;
        if (out) {
            out->id = id;
            out->valid = valid;
            out->name = name;
        }
        return 1;
    }
    return 0;
}
