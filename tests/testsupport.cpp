#include "testsupport.h"
#include "agelog.h"
#include "c331_manage.h"
#include "c331_model_sim.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "krarampara.h"
#include "numberkeyboard.h"
#include "screens.h"
#include "startup.h"
#include "tavik_model_sim.h"
#include "taviksource.h"
#include "utils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <cstring>

namespace {
QStringList s_warnings;
QtMessageHandler s_previous_handler = nullptr;

void collectWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        s_warnings << text;
    if (s_previous_handler)
        s_previous_handler(type, context, text);
}

// Before any test runs, in every build kind: no shell command reaches the machine and no
// device path resolves to its real folders until a TestDevice gives each test its own root.
void testProcessStartup()
{
    Utils::set_record_commands(true);
    kra_set_root(QDir::temp().filePath(QStringLiteral("kra-test-no-device")));
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(testProcessStartup)

TestDevice::TestDevice() : dir_(new QTemporaryDir())
{
    kra_set_root(dir_->path());
    // Qt Test installs its own handler when the tests start; ours goes on top of it once.
    static const bool collecting = (s_previous_handler = qInstallMessageHandler(collectWarnings), true);
    (void)collecting;
    // The live-only part of the block is not in the file: a test starts with it cleared
    // (under the manager's mutex: a manager thread started by an earlier test reads it).
    {
        KraRamPara *p = KraRamPara::pInstance();
        MutexLocker lock(&c331_manage::manage_mutex);
        memset(p->ram_para, 0, sizeof p->ram_para);
    }
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
    kra_start_up(KraRun::Offline);
    g_page_focus = Page::Main;
    g_language = 1;
    g_lcd_lang_valid = 0x1F;
    g_save_mode_request = 0;
    {
        // A manager's thread started by an earlier test may still be polling the flag.
        MutexLocker lock(&Utils::_led_para_init_mutex);
        g_set_led_para = 0;
        g_set_led_setup = 0;
    }
    fpga_sim_power(0, true);
    fpga_sim_power(1, true);
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

ScreenFixture::~ScreenFixture()
{
    kra_delete_screens();
    g_lineedit = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList takeWarnings()
{
    QStringList taken;
    taken.swap(s_warnings);
    return taken;
}

QStringList unhookedSlots(const QStringList &warnings)
{
    return warnings.filter(QStringLiteral("QMetaObject::connectSlotsByName: No matching signal"));
}

void answerKeyboardWith(const QString &text)
{
    NumberKeyboard::runner = [text](NumberKeyboard *kb) {
        for (const QChar c : text)
            kb->press_digit(c.digitValue());
        kb->press_ok();
    };
}

void putFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList fileNamesOf(const QStringList &paths, bool sorted)
{
    QStringList out;
    for (const QString &p : paths)
        out << QFileInfo(p).fileName();
    if (sorted)
        out.sort();
    return out;
}

void runFpgaJob()
{
    for (int i = 0; i < 10000 && fpga_manage::send_para_u16(SendPara::JOB) != 0; ++i)
        fpga_manage::pInstance()->run_once();
    TestDevice::settle();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
}

void runUsbUpgrade()
{
    for (int i = 0; i < 1000 && g_usb_grade != 0; ++i)
        fpga_manage::pInstance()->run_once();
}

void clearAgeLog()
{
    factoryage_log.clear();
    for (u32 *c : {&factoryage_log_diff3, &factoryage_log_diff5, &factoryage_log_diff10, &factoryage_log_diff20,
                   &factoryage_log_diffmore, &factoryage_log2_diff3, &factoryage_log2_diff5, &factoryage_log2_diff10,
                   &factoryage_log2_diff20, &factoryage_log2_diffmore})
        *c = 0;
}
