#ifndef ALIAS_H
#define ALIAS_H

#include <QString>
#include <string>

struct ALIAS_PARA {
    int id = 0;
    std::string valid;
    std::string name; // UTF-8
};

// Path of the names file under the data root.
QString alias_file_path();
// Reads entry `id` of `group` ("source", "usermode", "win", "crop") from the names file.
// Returns 1 and fills `out` for an entry whose "valid" is not "off" and whose name is not
// empty; 0 otherwise. A file that fails to parse is set aside as "<name>.bad".
int get_json_alias_para(ALIAS_PARA *out, const std::string &group, int id);

#endif
