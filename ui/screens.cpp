#include "screens.h"
#include "custommode.h"
#include "edidset.h"
#include "fpga_manage.h"
#include "global.h"
#include "imagelayout.h"
#include "imagequality.h"
#include "inputchoose.h"
#include "inputcut.h"
#include "krarampara.h"
#include "lcd_touch.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "option.h"
#include "screenkit.h"
#include "outputset.h"
#include "syncupdate.h"
#include "test_chart.h"
#include "tip.h"

#include <functional>
#include <map>

namespace {

struct ScreenEntry {
    std::function<void()> open;
    std::function<void(int code)> sync;
    std::function<void()> back;
};

// Set while kra_construct_screen runs an entry's open (every entry opens through
// openScreen): the screen is built, not run.
bool s_construct_only = false;
QDialog *s_constructed = nullptr;
std::function<void(QDialog *)> s_runner;

// Opens a screen in the shared way: no parent, global pointer, page id, modal run.
template <typename Screen>
void openScreen(Screen *&global, int page)
{
    if (s_construct_only) {
        delete global;
        Screen *screen = new Screen(nullptr);
        global = screen;
        // The caller may delete it: the global must not dangle.
        QObject::connect(screen, &QObject::destroyed, [&global, screen] {
            if (global == screen)
                global = nullptr;
        });
        s_constructed = screen;
        return;
    }
    if (!global)
        global = new Screen(nullptr);
    g_page_focus = u8(page);
    if (s_runner)
        s_runner(global);
    else
        global->exec();
}

const std::map<int, ScreenEntry> &table()
{
    static const std::map<int, ScreenEntry> t = {
        {3,
         {[] { openScreen(g_inputchoose, 3); },
          [](int code) { if (g_inputchoose) g_inputchoose->syncUpdate(code); },
          [] { if (g_inputchoose) g_inputchoose->on_Button_back_clicked(); }}},
        {4,
         {[] { openScreen(g_custommode, 4); },
          [](int) { if (g_custommode) g_custommode->syncUpdate(); },
          [] { if (g_custommode) g_custommode->on_Button_back_clicked(); }}},
        {6,
         {[] { openScreen(g_outputset, 6); },
          [](int) { if (g_outputset) g_outputset->syncUpdate(); },
          [] { if (g_outputset) g_outputset->on_Button_back_clicked(); }}},
        {7,
         {[] { openScreen(g_inputcut, 7); },
          [](int code) { if (g_inputcut) g_inputcut->syncUpdate(code); },
          [] { if (g_inputcut) g_inputcut->on_Button_back_clicked(); }}},
        {8,
         {[] { openScreen(g_edidset, 8); },
          [](int) { if (g_edidset) g_edidset->syncUpdate(); },
          [] { if (g_edidset) g_edidset->on_Button_back_clicked(); }}},
        {9,
         {[] { openScreen(g_imagelayout, 9); },
          [](int) { if (g_imagelayout) g_imagelayout->syncUpdate(); },
          [] { if (g_imagelayout) g_imagelayout->on_Button_back_clicked(); }}},
        {11,
         {[] { openScreen(g_imagequality, 11); },
          [](int) { if (g_imagequality) g_imagequality->syncUpdate(); },
          [] { if (g_imagequality) g_imagequality->on_Button_back_clicked(); }}},
        {16,
         {[] { openScreen(g_test_chart, 16); },
          [](int) { if (g_test_chart) g_test_chart->syncUpdate(); },
          {}}},
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

QDialog *kra_construct_screen(int page)
{
    auto it = table().find(page);
    if (it == table().end() || !it->second.open)
        return nullptr;
    s_construct_only = true;
    s_constructed = nullptr;
    it->second.open();
    s_construct_only = false;
    return s_constructed;
}

void kra_set_screen_runner(std::function<void(QDialog *)> runner)
{
    s_runner = std::move(runner);
}

void kra_register_screens()
{
    kra_screen_kit_init();
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
    fpga_manage::set_update_notice([] { if (g_mainwindow) g_mainwindow->update_start(); },
                                   [] { if (g_mainwindow) g_mainwindow->update_over(); });
}

void kra_agelog_updated()
{
}
