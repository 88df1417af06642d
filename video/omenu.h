#ifndef OMENU_H
#define OMENU_H

#include <string>

// One entry of the on-screen-display menu.
struct OMENU_PARA {
    int x = 0, y = 0, w = 0, h = 0;
    int effect = 0; // 0 static, 2 up, 3 down, 4 left, 5 right
    int speed = 0;
    std::string bgcolor;   // two characters, then RRGGBB
    std::string fontcolor; // two characters, then RRGGBB
    int font_x = 0, font_y = 0, font_w = 0, font_h = 0;
    int word_spacing = 0, line_spacing = 0;
    std::string text;      // lines separated by "\n"
};

struct OSD_LIST {
    std::string name;
    int osdcount = 0;
    int oactcount = 0;
    OMENU_PARA menu[3];
};

// Reads an OSD menu file; 0 on success, 1 when it is missing or does not parse (a file
// that does not parse is set aside as "<path>.bad").
int get_json_omenu_para(const char *path, OSD_LIST *list);

#endif
