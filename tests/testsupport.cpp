#include "testsupport.h"
#include "c331_manage.h"
#include "c331_model_sim.h"
#include "config_engine.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "krarampara.h"
#include "numberkeyboard.h"
#include "screens.h"
#include "syncupdate.h"
#include "tavik_model_sim.h"
#include "taviksource.h"
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
    g_set_led_para = 0;
    g_set_led_setup = 0;
    KraRamPara *p = KraRamPara::pInstance();
    memset(p->ram_para, 0, sizeof p->ram_para);
    p->load_defaults();
    p->user_mode_load_all();
    p->KraCropSourceInit();
    // The PC models of the chips, whatever the build kind: a test never reaches hardware.
    c331_manage *video = c331_manage::pInstanceNoThread();
    if (!video->model())
        video->set_access(std::make_unique<C331ModelSim>());
    fpga_manage *fpga = fpga_manage::pInstance();
    if (!fpga->model())
        fpga->set_access(std::make_unique<FpgaModelSim>());
    taviksource *inputs = taviksource::pInstanceNoThread();
    if (!dynamic_cast<TavikModelSim *>(inputs->access()))
        inputs->set_access(std::make_unique<TavikModelSim>());
    c331_manage::para_changed = 0;
    fpga_sim_power(0, true);
    fpga_sim_power(1, true);
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
