#include "omenu.h"
#include "json_file.h"

#include <QFile>
#include <boost/property_tree/ptree.hpp>

namespace pt = boost::property_tree;

int get_json_omenu_para(const char *path, OSD_LIST *list)
{
    if (!path || !list)
        return 1;
    pt::ptree root;
    if (kra_read_json_file(QFile::decodeName(path), &root) != JSON_OK)
        return 1;
    try {
        *list = OSD_LIST();
        list->name = root.get<std::string>("name", "");
        list->osdcount = root.get<int>("osdcount", 0);
        list->oactcount = root.get<int>("oactcount", 0);
        const auto menu = root.get_child_optional("menu");
        if (menu) {
            int i = 0;
            for (const auto &item : *menu) {
                if (i >= 3)
                    break;
                const pt::ptree &m = item.second;
                OMENU_PARA &o = list->menu[i++];
                o.x = m.get<int>("x", 0);
                o.y = m.get<int>("y", 0);
                o.w = m.get<int>("w", 0);
                o.h = m.get<int>("h", 0);
                o.effect = m.get<int>("effect", 0);
                o.speed = m.get<int>("speed", 0);
                o.bgcolor = m.get<std::string>("bgcolor", "");
                o.fontcolor = m.get<std::string>("fontcolor", "");
                o.font_x = m.get<int>("fontx", 0);
                o.font_y = m.get<int>("fonty", 0);
                o.font_w = m.get<int>("fontw", 0);
                o.font_h = m.get<int>("fonth", 0);
                o.word_spacing = m.get<int>("wordspace", 0);
                o.line_spacing = m.get<int>("linespace", 0);
                o.text = m.get<std::string>("text", "");
            }
        }
    } catch (const pt::ptree_error &) {
        return 1;
    }
    return 0;
}
