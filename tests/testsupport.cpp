#include "testsupport.h"
#include "c331_manage.h"
#include "config_engine.h"
#include "fpga_manage.h"
#include "krarampara.h"
#include "numberkeyboard.h"
#include "screens.h"
#include "syncupdate.h"
#include "tip.h"
#include "utils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstring>

namespace {
bool s_wired = false;
} // namespace

TestDevice::TestDevice() : dir_(new QTemporaryDir())
{
    Q_INIT_RESOURCE(png);
    kra_set_root(dir_->path());
    QDir().mkpath(kra_path(QStringLiteral("/data/configs")));
    QDir().mkpath(kra_path(QStringLiteral("/data/modes")));
    g_page_focus = 1;
    g_language = 1;
    g_lcd_lang_valid = 0x1F;
    g_save_mode_request = 0;
    {
        // A manager's thread started by an earlier test may still be polling the flag.
        MutexLocker lock(&Utils::_led_para_init_mutex);
        g_set_led_para = 0;
        g_set_led_setup = 0;
    }
    KraRamPara *p = KraRamPara::pInstance();
    memset(p->ram_para, 0, sizeof p->ram_para);
    p->load_defaults();
    p->user_mode_load_all();
    p->KraCropSourceInit();
    c331_manage::pInstanceNoThread();
    c331_manage::para_changed = 0;
    fpga_manage::pInstance()->sim_set_running(0, true);
    fpga_manage::pInstance()->sim_set_running(1, true);
    if (!s_wired) {
        s_wired = true;
        kra_register_screens();
        QObject::connect(p, &KraRamPara::sig_update_para, SyncUpdate::pInstance(),
                         &SyncUpdate::para_sync, Qt::QueuedConnection);
    }
    if (!g_numberkeyboard)
        g_numberkeyboard = new NumberKeyboard(nullptr);
    if (!g_tip)
        g_tip = new TIP(nullptr);
    NumberKeyboard::runner = nullptr;
    kra_set_screen_runner({});
}

TestDevice::~TestDevice()
{
    NumberKeyboard::runner = nullptr;
    kra_set_screen_runner({});
}

void TestDevice::settle()
{
    c331_manage::p_c331_manage->run_once();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

QStringList TestDevice::commands()
{
    QFile f(Utils::commandLogPath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void answerKeyboardWith(const QString &text)
{
    NumberKeyboard::runner = [text](NumberKeyboard *kb) {
        for (const QChar c : text)
            kb->press_digit(c.digitValue());
        kb->press_ok();
    };
}
