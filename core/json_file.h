#ifndef JSON_FILE_H
#define JSON_FILE_H

#include <QString>
#include <boost/property_tree/ptree_fwd.hpp>

// JSON data files come from outside (the command protocol, a USB stick). Real ones are a
// few kilobytes and nest a handful of levels; these limits sit far above that and keep a
// hostile file from exhausting memory, time or the parser's stack.
constexpr qint64 kJsonFileMax = 1024 * 1024;
constexpr int kJsonDepthMax = 64;

// True when no array or object of `text` nests deeper than `maxDepth` (strings skipped).
bool kra_json_depth_ok(const QByteArray &text, int maxDepth);

enum JsonRead { JSON_OK = 0, JSON_MISSING = 1, JSON_REJECTED = 2 };
// Reads and parses a JSON data file through Utils::read_file_guarded and the depth check.
// A file that is refused or does not parse is set aside as "<path>.bad". Returns a JsonRead.
int kra_read_json_file(const QString &path, boost::property_tree::ptree *root);

#endif
