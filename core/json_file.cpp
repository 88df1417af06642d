#include "json_file.h"
#include "utils.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <sstream>

namespace pt = boost::property_tree;

bool kra_json_depth_ok(const QByteArray &text, int maxDepth)
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth)
                return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

int kra_read_json_file(const QString &path, pt::ptree *root)
{
    QByteArray bytes;
    int r;
    {
        MutexLocker lock(&Utils::_file_deal_mutex);
        r = Utils::read_file_guarded(path, kJsonFileMax, &bytes);
    }
    if (r == Utils::READ_MISSING)
        return JSON_MISSING;
    bool good = r == Utils::READ_OK && kra_json_depth_ok(bytes, kJsonDepthMax);
    if (good) {
        try {
            std::istringstream in(std::string(bytes.constData(), size_t(bytes.size())));
            pt::read_json(in, *root);
        } catch (const pt::ptree_error &) {
            good = false;
        }
    }
    if (good)
        return JSON_OK;
    writeLogMsg(LOG_ERROR, QStringLiteral("rejected JSON file %1").arg(path));
    MutexLocker lock(&Utils::_file_deal_mutex);
    Utils::set_file_aside(path);
    return JSON_REJECTED;
}
