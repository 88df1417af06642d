// Times opening each screen to its first painted frame against a bare baseline of the same
// form, and the parts of one refresh cycle with that screen in focus. Runs offscreen in a
// temporary data root and prints one table, in microseconds; then the CPU time that the
// idle application takes.
//
// The screens are the pages of the screens table (found at run time) and the shell screens.
// A screen's baseline is its form's bare setupUi on a plain QDialog; the forms come from
// kra_forms.h, which the build generates with one KRA_FORM line per ui/*.ui, so a screen
// added later is measured, baseline included, without an edit here. A screen without a
// form (the shell screens are built in code) is compared with an empty styled 800 x 480
// dialog, marked "empty" in the table.
//
// The refresh cycle changes a field the screen in focus shows. After the table come the
// page steps of the tile screens with 40 crops, and the resident memory over rounds of
// opening and closing every screen.
#include "c331_manage.h"
#include "fpga_model_sim.h"
#include "global.h"
#include "inputchoose.h"
#include "inputcut.h"
#include "krarampara.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "screens.h"
#include "startup.h"
#include "syncupdate.h"
#include "tip.h"
#include "utils.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kOpenRuns = 50;
constexpr int kCycleRuns = 200;
constexpr int kWarmUp = 3;
constexpr int kStepRuns = 50;
constexpr int kMemoryRounds = 1000;

// A field of the parameter block that the screen of a page shows; `bytes` 1 or 2.
struct ShownField {
    int addr;
    int bytes;
};

ShownField shownField(int page)
{
    switch (page) {
    case Page::Home: case Page::Main: case Page::Output: return {Para::LED_WIDTH, 2};
    case Page::InputSelect:
    case Page::CropEditor: return {Para::TIMING + 6 * 2, 2}; // HDMI1's measured width on its tile
    case Page::UserModes: return {Para::CURRENT_MODE, 2};
    case Page::Settings: return {Para::LANGUAGE, 1};
    case Page::Edid: return {Para::EDID, 2};
    case Page::PictureQuality: return {Para::PICTURE, 2};
    case Page::Advanced: return {Para::SWITCH_EFFECT, 2};
    case Page::TestPatterns: return {Para::TEST_PATTERN, 1};
    default: return {Para::win(0, Para::W_X), 2};
    }
}
// The idle application: start-up (which sleeps 4 s) is left out, then CPU time is taken over
// the window (KRA_BENCH_IDLE_SECONDS overrides it; 0 leaves the measurement out).
constexpr int kIdleSettleSeconds = 6;
constexpr int kIdleSeconds = 20;

using Builder = std::function<QDialog *()>;

std::map<std::string, Builder> &forms()
{
    static std::map<std::string, Builder> f;
    return f;
}

template <typename Form>
bool registerForm(const char *name)
{
    if constexpr (std::is_invocable_v<decltype(&Form::setupUi), Form &, QDialog *>) {
        forms()[name] = [] {
            auto *dialog = new QDialog(nullptr);
            Form form;
            form.setupUi(dialog);
            return dialog;
        };
        return true;
    } else {
        return false; // not a dialog form
    }
}

} // namespace

#define KRA_FORM(Class) static const bool kra_form_##Class = registerForm<Ui::Class>(#Class);
#include "kra_forms.h"
#undef KRA_FORM

namespace {

QDialog *emptyStyledDialog()
{
    auto *dialog = new QDialog(nullptr);
    dialog->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    dialog->setFixedSize(800, 480);
    dialog->setStyleSheet(QStringLiteral("background-color: rgb(16, 16, 28);"));
    return dialog;
}

// Builds a shell screen into its global, which is cleared again when the screen is deleted.
template <typename Screen>
QDialog *buildInto(Screen *&global)
{
    Screen *screen = new Screen(nullptr);
    global = screen;
    QObject::connect(screen, &QObject::destroyed, [&global, screen] {
        if (global == screen)
            global = nullptr;
    });
    return screen;
}

struct BenchScreen {
    std::string name;
    int page;
    Builder build;    // the screen, stored in its global, not shown
    Builder baseline; // the bare form, not shown
    bool formBaseline;
};

class PaintWatcher : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

double usSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1000.0;
}

// Shows the dialog and runs the event loop until its first frame has been painted.
bool showUntilPainted(QDialog *dialog)
{
    PaintWatcher watcher;
    dialog->installEventFilter(&watcher);
    dialog->show();
    QElapsedTimer limit;
    limit.start();
    while (!watcher.painted && limit.elapsed() < 5000)
        QCoreApplication::processEvents();
    dialog->removeEventFilter(&watcher);
    return watcher.painted;
}

void destroy(QDialog *dialog)
{
    delete dialog;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The widgets a screen is made of, itself included: what its first frame styles.
int widgetCount(const QWidget *w)
{
    return 1 + w->findChildren<QWidget *>().size();
}

struct Stats {
    double median = 0;
    double p90 = 0;
};

Stats stats(std::vector<double> v)
{
    Stats s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    s.median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    s.p90 = v[size_t(std::ceil(0.9 * double(n))) - 1];
    return s;
}

// Construct + show + first paint, `runs` times after a warm-up; -1 when a frame never came.
Stats timeOpen(const Builder &build, int runs)
{
    std::vector<double> samples;
    for (int i = 0; i < kWarmUp + runs; ++i) {
        QElapsedTimer t;
        t.start();
        QDialog *dialog = build();
        const bool painted = showUntilPainted(dialog);
        const double us = usSince(t);
        destroy(dialog);
        if (!painted)
            return {-1, -1};
        if (i >= kWarmUp)
            samples.push_back(us);
    }
    return stats(samples);
}

struct Cycle {
    double write, manage, sync, screenSync, fileWrite, load, total;
};

// A data root below a plain file: the block write fails at once there.
QString blockedRoot()
{
    return kra_root() + QStringLiteral("/blocked");
}

// The refresh path with the screen open and in focus: a write under the mutex, the
// video-chip manager's pass and the refresh (the page's handler, tip and block file save).
// The page's handler runs only inside para_sync, and only sees the change while the block
// differs from the shadow, which is also what makes para_sync save; so it is timed as the
// same refresh with the tip off and the save failing at once, less that refresh on a page
// without a handler.
Cycle timeCycle(int page)
{
    KraRamPara *para = KraRamPara::pInstance();
    SyncUpdate *sync = SyncUpdate::pInstance();
    c331_manage *manager = c331_manage::p_c331_manage;
    const ShownField field = shownField(page);
    const QString root = kra_root();
    int idlePage = 255;
    while (kra_screen_built(idlePage) || idlePage == 0 || idlePage == 1 || idlePage == 5)
        --idlePage;
    g_page_focus = u8(page);
    auto changeX = [&] {
        QElapsedTimer t;
        t.start();
        {
            ParaWrite w;
            if (field.bytes == 1)
                w.set8(field.addr, u8(para->ram_para[field.addr] ^ 1));
            else
                w.set16(field.addr, u16(para->live16(field.addr) ^ 1));
        }
        return usSince(t);
    };

    std::vector<double> write, manage, syncAll, total, blockedSync, idleSync, fileWrite, load;
    for (int i = 0; i < kWarmUp + kCycleRuns; ++i) {
        const bool keep = i >= kWarmUp;
        const double tw = changeX();
        QElapsedTimer t;
        t.start();
        manager->run_once();
        const double tm = usSince(t);
        t.restart();
        sync->para_sync(1);
        const double ts = usSince(t);
        QCoreApplication::processEvents();

        TIP *tip = g_tip;
        g_tip = nullptr;
        kra_set_root(blockedRoot());
        auto blockedRefresh = [&](int focus) {
            changeX();
            manager->run_once();
            g_page_focus = u8(focus);
            QElapsedTimer tr;
            tr.start();
            sync->para_sync(1);
            const double us = usSince(tr);
            g_page_focus = u8(page);
            return us;
        };
        blockedRefresh(idlePage); // the first failing save after the switch runs cold
        const double tb = blockedRefresh(page);
        const double ti = blockedRefresh(idlePage);
        kra_set_root(root);
        g_tip = tip;
        QCoreApplication::processEvents();

        u8 snapshot[Para::IMAGE_SIZE];
        memcpy(snapshot, para->ram_para, sizeof snapshot);
        t.restart();
        para->ram_para_write_file(snapshot);
        const double tf = usSince(t);
        t.restart();
        para->ram_para_load();
        const double tl = usSince(t);
        if (keep) {
            write.push_back(tw);
            manage.push_back(tm);
            syncAll.push_back(ts);
            total.push_back(tw + tm + ts);
            blockedSync.push_back(tb);
            idleSync.push_back(ti);
            fileWrite.push_back(tf);
            load.push_back(tl);
        }
    }
    const double screenSync = std::max(0.0, stats(blockedSync).median - stats(idleSync).median);
    return {stats(write).median, stats(manage).median, stats(syncAll).median, screenSync,
            stats(fileWrite).median, stats(load).median, stats(total).median};
}

std::vector<BenchScreen> screenList()
{
    std::vector<BenchScreen> list;
    auto add = [&list](std::string name, int page, Builder build, const std::string &formClass) {
        auto form = forms().find(formClass);
        const bool hasForm = form != forms().end();
        list.push_back({std::move(name), page, std::move(build),
                        hasForm ? form->second : Builder(emptyStyledDialog), hasForm});
    };
    add("LockWindow", Page::Home, [] { return buildInto(g_lockwindow); }, "LockWindow");
    add("MainWindow", Page::Main, [] { return buildInto(g_mainwindow); }, "MainWindow");
    for (int page = 0; page <= 255; ++page) {
        if (!kra_screen_built(page))
            continue;
        QDialog *probe = kra_construct_screen(page);
        if (!probe)
            continue;
        const std::string cls = probe->metaObject()->className();
        destroy(probe);
        add(cls, page, [page] { return kra_construct_screen(page); }, cls);
    }
    return list;
}

// One page step forward and back on a screen with 40 crops of HDMI1 (seven pages), to its
// painted frame.
template <typename Screen>
Stats timePageSteps(Screen *&global, int page, void (Screen::*next)(), void (Screen::*previous)())
{
    g_page_focus = u8(page);
    QDialog *dialog = kra_construct_screen(page);
    showUntilPainted(dialog);
    Screen *screen = global;
    std::vector<double> samples;
    for (int i = 0; i < kWarmUp + kStepRuns; ++i) {
        const bool forward = (i / 3) % 2 == 0; // pages 0..3 and back
        QElapsedTimer t;
        t.start();
        (screen->*(forward ? next : previous))();
        // Up to the step's frame as the application paints it: the widgets it changed,
        // not a repaint of the whole window, which the open's figure does not take twice.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const double us = usSince(t);
        if (i >= kWarmUp)
            samples.push_back(us);
    }
    destroy(dialog);
    return stats(samples);
}

void addCrops(int input, int count)
{
    KraRamPara *para = KraRamPara::pInstance();
    for (int i = 0; i < count; ++i) {
        CROP_PARA c{0, 0, 0, 100 + i, 50};
        para->KraAddNewCrop(input, &c);
    }
}

double rssMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> f = statm.readAll().split(' ');
    return f.size() > 1 ? f[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : -1;
}

QtMessageHandler s_default_handler = nullptr;

// The offscreen platform notes every raise() of a window; here that is only noise.
// User plus system time of a process in clock ticks, from /proc/PID/stat; -1 when unreadable.
long long cpuTicks(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = f.readAll();
    // Fields after the command name (in parentheses, which may hold blanks): state is field
    // 3, utime 14, stime 15.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return fields[11].toLongLong() + fields[12].toLongLong();
}

// Percent of one core that the application takes while nobody touches it: the executable
// runs offscreen on an empty data root. -1 when it could not be measured.
double idleCpuPercent(int seconds)
{
    QTemporaryDir root;
    QProcess app;
    app.setProgram(QStringLiteral(KRA_APP_PATH));
    app.setArguments({QStringLiteral("--root"), root.path(), QStringLiteral("-platform"),
                      QStringLiteral("offscreen")});
    app.setStandardOutputFile(QProcess::nullDevice());
    app.setStandardErrorFile(QProcess::nullDevice());
    app.start();
    if (!root.isValid() || !app.waitForStarted())
        return -1;
    QThread::sleep(kIdleSettleSeconds);
    const long long before = cpuTicks(app.processId());
    QElapsedTimer wall;
    wall.start();
    QThread::sleep(unsigned(seconds));
    const long long after = cpuTicks(app.processId());
    const double elapsed = wall.elapsed() / 1000.0;
    app.kill();
    app.waitForFinished();
    if (before < 0 || after < 0 || app.exitStatus() != QProcess::CrashExit)
        return -1; // ended by itself: not an idle run
    return 100.0 * double(after - before) / double(sysconf(_SC_CLK_TCK)) / elapsed;
}

void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message == QLatin1String("This plugin does not support raise()"))
        return;
    s_default_handler(type, context, message);
}

void setUpDevice(const QString &root)
{
    kra_set_root(root);
    QFile blocked(blockedRoot());
    blocked.open(QIODevice::WriteOnly);
    kra_start_up(KraRun::Offline);
    g_language = 1;
    g_lcd_lang_valid = 0x1F;
}

} // namespace

int main(int argc, char **argv)
{
    s_default_handler = qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    if (!root.isValid()) {
        fprintf(stderr, "kra_bench: cannot make a temporary data root\n");
        return 1;
    }
    setUpDevice(root.path());

    // The main window stays, hidden, as on the device: the home screen's refresh reaches it.
    MainWindow *resident = new MainWindow(nullptr);
    g_mainwindow = resident;
    std::vector<BenchScreen> screens = screenList();
    // KRA_BENCH_ONLY=Name,Name times those screens alone and leaves the memory rounds out.
    const QStringList only = qEnvironmentVariable("KRA_BENCH_ONLY").split(',', Qt::SkipEmptyParts);
    if (!only.isEmpty())
        screens.erase(std::remove_if(screens.begin(), screens.end(),
                                     [&only](const BenchScreen &s) {
                                         return !only.contains(QString::fromStdString(s.name));
                                     }),
                      screens.end());
    const int memoryRounds = only.isEmpty() ? kMemoryRounds : 0;

    // Memory first, in a process that has only started up.
    QString memory;
    // Rounds of opening and closing every screen, each to its first frame.
    const double atStart = rssMb();
    double at1 = 0, at100 = 0;
    for (int round = 1; round <= memoryRounds; ++round) {
        for (const BenchScreen &s : screens) {
            g_mainwindow = s.page == Page::Main ? nullptr : resident;
            g_page_focus = u8(s.page);
            QDialog *dialog = s.build();
            showUntilPainted(dialog);
            destroy(dialog);
        }
        if (round == 1)
            at1 = rssMb();
        if (round == 100)
            at100 = rssMb();
    }
    memory = QString::asprintf("memory (RSS, MB) over %d open/close rounds of every screen: "
                              "start %.1f, round 1 %.1f, round 100 %.1f, round %d %.1f\n",
                              kMemoryRounds, atStart, at1, at100, kMemoryRounds, rssMb());

    printf("kra_bench: times in microseconds; open and baseline over %d runs (median, p90),\n"
           "refresh parts median over %d runs; syncUpdate = the focused page's own refresh\n"
           "within para_sync, file write = the block file save within para_sync;\n"
           "widgets = those of the opened screen / of its bare form.\n\n",
           kOpenRuns, kCycleRuns);
    printf("%-16s %4s | %8s %8s | %8s %8s %-5s | %7s | %6s %6s %9s %10s %10s %6s | %7s\n",
           "screen", "page", "open", "open p90", "baseline", "base p90", "form", "widgets", "write",
           "c331", "para_sync", "syncUpdate", "file write", "load", "cycle");
    int failures = 0;
    for (const BenchScreen &s : screens) {
        g_mainwindow = s.page == Page::Main ? nullptr : resident;
        g_page_focus = u8(s.page);
        const Stats open = timeOpen(s.build, kOpenRuns);
        const Stats base = timeOpen(s.baseline, kOpenRuns);

        QDialog *screen = s.build();
        showUntilPainted(screen);
        const int widgets = widgetCount(screen);
        const Cycle c = timeCycle(s.page);
        destroy(screen);
        QDialog *bare = s.baseline();
        const int bareWidgets = widgetCount(bare);
        destroy(bare);

        if (open.median < 0 || base.median < 0)
            ++failures;
        printf("%-16s %4d | %8.0f %8.0f | %8.0f %8.0f %-5s | %3d/%-3d | %6.1f %6.1f %9.1f %10.1f"
               " %10.1f %6.1f | %7.1f\n",
               s.name.c_str(), s.page, open.median, open.p90, base.median, base.p90,
               s.formBaseline ? "ui" : "empty", widgets, bareWidgets, c.write, c.manage, c.sync,
               c.screenSync, c.fileWrite, c.load, c.total);
        fflush(stdout);
    }

    addCrops(2, 40);
    struct Step {
        const char *name;
        int page;
        Stats step;
    };
    const Step steps[] = {
        {"InputChoose", Page::InputSelect,
         timePageSteps(g_inputchoose, Page::InputSelect, &InputChoose::kra_Button_next_clicked,
                       &InputChoose::kra_Button_previous_clicked)},
        {"InputCut", Page::CropEditor,
         timePageSteps(g_inputcut, Page::CropEditor, &InputCut::kra_Button_next_clicked,
                       &InputCut::kra_Button_previous_clicked)},
    };
    printf("\npage step with 40 crops (median over %d steps): ", kStepRuns);
    for (const Step &st : steps)
        printf("%s %.0f (p90 %.0f)  ", st.name, st.step.median, st.step.p90);
    if (memoryRounds)
        printf("\n%s", qPrintable(memory));

    g_mainwindow = nullptr;
    delete resident;

    const int idleSeconds = qEnvironmentVariableIsSet("KRA_BENCH_IDLE_SECONDS")
                                ? qEnvironmentVariableIntValue("KRA_BENCH_IDLE_SECONDS")
                                : kIdleSeconds;
    if (idleSeconds > 0) {
        const double idle = idleCpuPercent(idleSeconds);
        if (idle < 0)
            printf("\nidle CPU: not measured (the application did not run)\n");
        else
            printf("\nidle CPU: %.2f%% of one core (kraQ71N offscreen, %d s after start-up)\n", idle,
                   idleSeconds);
    }
    if (failures)
        fprintf(stderr, "kra_bench: %d screen(s) never painted a frame (shown as -1)\n", failures);
    return failures ? 1 : 0;
}
