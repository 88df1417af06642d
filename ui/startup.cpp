#include "startup.h"
#include "c331_manage.h"
#include "config_engine.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "krarampara.h"
#include "lcd_touch.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "numberkeyboard.h"
#include "q71_wifi_config.h"
#include "screens.h"
#include "syncupdate.h"
#include "taviksource.h"
#include "tip.h"
#include "usbserver.h"
#include "utils.h"

#include <QDir>
#include <unistd.h>

namespace {

void startManagers()
{
    taviksource::pInstanceNoThread();
    fpga_manage::pInstance();
    c331_manage::pInstance(); // starts the video-chip manager's thread
    fpga_manage::pInstance()->initialize_start();
    taviksource::pInstance(); // starts the input-source manager's thread
    Q71_WIFI_CONFIG::pInstance();
}

} // namespace

void kra_start_up(KraRun run)
{
    static bool once = false;
    const bool first = !once;
    once = true;

    Q_INIT_RESOURCE(png);
    QDir().mkpath(kra_path(QStringLiteral("/data/configs")));
    QDir().mkpath(kra_path(QStringLiteral("/data/modes")));
    if (run == KraRun::Application)
        Utils::clear_save_leftovers(); // before anything reads or writes those files
    ConfigEngine::pInstance()->read_all_to_globals();
    KraRamPara *para = KraRamPara::pInstance();
    para->ram_para_load();
    para->user_mode_load_all();
    para->KraCropSourceInit();
    g_language = para->ram_para[Para::LANGUAGE] <= 4 ? para->ram_para[Para::LANGUAGE] : 1;

    if (first) {
        kra_register_screens();
        QObject::connect(para, &KraRamPara::sig_update_para, SyncUpdate::pInstance(),
                         &SyncUpdate::para_sync, Qt::QueuedConnection);
    }

    if (run == KraRun::Offline) {
        c331_manage::pInstanceNoThread();
        c331_manage::para_changed = 0;
        fpga_sim_power(0, true);
        fpga_sim_power(1, true);
        if (!g_numberkeyboard)
            g_numberkeyboard = new NumberKeyboard(nullptr);
        if (!g_tip)
            g_tip = new TIP(nullptr);
        return;
    }

    g_mainwindow = new MainWindow(nullptr);
    g_mainwindow->show();
    g_page_focus = Page::Main;
    g_tip = new TIP(nullptr);
    g_mainwindow->tick_timer()->start(10);
    startManagers();
    lcd_touch::pInstance();
#ifdef KRA_DEVICE
    sleep(4); // lets the chips settle before the first screen
#endif
    LockWindow::show_home();

    g_numberkeyboard = new NumberKeyboard(g_mainwindow);
    g_numberkeyboard->setGeometry(420, 0, 380, 480);
    g_numberkeyboard->hide();
    UsbServer::pInstance()->start();
}
