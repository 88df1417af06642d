#include "screens.h"
#include "global.h"
#include "imagelayout.h"
#include "krarampara.h"
#include "lcd_touch.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "option.h"
#include "syncupdate.h"
#include "tip.h"

#include <functional>
#include <map>

namespace {

struct ScreenEntry {
    std::function<void()> open;
    std::function<void(int code)> sync;
    std::function<void()> back;
};

// Opens a screen in the shared way: no parent, global pointer, page id, modal run.
template <typename Screen>
void openScreen(Screen *&global, int page)
{
    if (!global)
        global = new Screen(nullptr);
    g_page_focus = u8(page);
    global->exec();
}

const std::map<int, ScreenEntry> &table()
{
    static const std::map<int, ScreenEntry> t = {
        {9,
         {[] { openScreen(g_imagelayout, 9); },
          [](int) { if (g_imagelayout) g_imagelayout->syncUpdate(); },
          [] { if (g_imagelayout) g_imagelayout->on_Button_back_clicked(); }}},
    };
    return t;
}

} // namespace

bool kra_screen_built(int page)
{
    return table().count(page) != 0;
}

void kra_open_screen(int page)
{
    auto it = table().find(page);
    if (it != table().end() && it->second.open)
        it->second.open();
}

void kra_register_screens()
{
    for (const auto &entry : table()) {
        SyncUpdate::set_page_handler(entry.first, entry.second.sync);
        lcd_touch::set_back_action(entry.first, entry.second.back);
    }
    // Pages of the shell itself follow the language and their status lines.
    auto mainSync = [](int) {
        if (g_mainwindow)
            g_mainwindow->syncUpdate();
        else
            KraRamPara::pInstance()->KraLanguageChanged();
    };
    SyncUpdate::set_page_handler(1, mainSync);
    SyncUpdate::set_page_handler(0, [mainSync](int code) {
        mainSync(code);
        if (g_lockwindow)
            g_lockwindow->syncUpdate();
    });
    SyncUpdate::set_page_handler(5, [](int) {
        if (KraRamPara::pInstance()->KraLanguageChanged() && g_option)
            g_option->language_changed();
    });
    lcd_touch::set_back_action(5, [] { if (g_option) g_option->on_Button_back_clicked(); });
    lcd_touch::set_lock_action([] { LockWindow::show_home(); });
    lcd_touch::set_update_shown([] { return g_mainwindow && g_mainwindow->update_shown(); });
    SyncUpdate::set_tip_handler([](int kind) { if (g_tip) g_tip->tip_create(kind); });
}

void kra_agelog_updated()
{
}
