// Start-up of the application, in the system's fixed order.
#include "c331_manage.h"
#include "config_engine.h"
#include "fpga_manage.h"
#include "krarampara.h"
#include "lcd_touch.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "numberkeyboard.h"
#include "screens.h"
#include "syncupdate.h"
#include "taviksource.h"
#include "tip.h"
#include "utils.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {
// The data root: --root DIR, else KRA_ROOT, else the build's default.
void chooseRoot(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (strcmp(argv[i], "--root") == 0) {
            kra_set_root(QString::fromLocal8Bit(argv[i + 1]));
            return;
        }
    }
    const QByteArray env = qgetenv("KRA_ROOT");
    if (!env.isEmpty())
        kra_set_root(QString::fromLocal8Bit(env));
}
} // namespace

int main(int argc, char **argv)
{
    chooseRoot(argc, argv);
    QDir().mkpath(kra_path(QStringLiteral("/data/configs")));
    QDir().mkpath(kra_path(QStringLiteral("/data/modes")));
    Utils::clear_save_leftovers();

    ConfigEngine::pInstance()->read_all_to_globals();
    KraRamPara *para = KraRamPara::pInstance();
    para->ram_para_load();
    para->user_mode_load_all();
    para->KraCropSourceInit();
    g_language = para->ram_para[Para::LANGUAGE] <= 4 ? para->ram_para[Para::LANGUAGE] : 1;
    SyncUpdate *sync = SyncUpdate::pInstance();

    QApplication app(argc, argv);
    Q_INIT_RESOURCE(png);
    kra_register_screens();

    g_mainwindow = new MainWindow(nullptr);
    g_mainwindow->show();
    g_page_focus = 1;
    g_tip = new TIP(nullptr);
    g_mainwindow->tick_timer()->start(10);

    taviksource::pInstanceNoThread();
    fpga_manage::pInstance();
    c331_manage::pInstance(); // starts the video-chip manager's thread
    fpga_manage::pInstance()->initialize_start();
    taviksource::pInstance(); // starts the input-source manager's thread

    lcd_touch::pInstance();
#ifdef KRA_DEVICE
    sleep(4); // lets the chips settle before the first screen
#endif
    LockWindow::show_home();

    g_numberkeyboard = new NumberKeyboard(g_mainwindow);
    g_numberkeyboard->setGeometry(420, 0, 380, 480);
    g_numberkeyboard->hide();

    QObject::connect(para, &KraRamPara::sig_update_para, sync, &SyncUpdate::para_sync,
                     Qt::QueuedConnection);
    printf("kraQ71N running, data root %s\n", qPrintable(kra_root()));
    fflush(stdout);
    return app.exec();
}
