#include "screens.h"
#include "advancedoption.h"
#include "custommode.h"
#include "edidset.h"
#include "global.h"
#include "imagelayout.h"
#include "imagequality.h"
#include "inputchoose.h"
#include "inputcut.h"
#include "krarampara.h"
#include "linkoption.h"
#include "agelog.h"
#include "c331_manage.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "numberkeyboard.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "option.h"
#include "screenkit.h"
#include "outputset.h"
#include "QRoundProgressBar.h"
#include "fpga_manage.h"
#include "smartmapping.h"
#include "test_chart.h"
#include "tip.h"
#include "utils.h"

#include <QCoreApplication>
#include <QPushButton>
#include <map>

namespace {

struct ScreenEntry {
    std::function<QDialog *()> current; // the open screen, nullptr when closed
    std::function<QDialog *()> build;   // a new screen stored in the global; empty: not opened here
    std::function<void()> forget;       // clears the global
    std::function<void(int code)> refresh;
    std::function<void()> returned;     // the screen above it closed
    std::function<Page::Id()> below;
    bool idleCloses = true;
    // What a file event of the command protocol does while the screen is on top.
    std::function<void(ProtocolFile event, int kind)> protocolFile;
    // Views worth a picture beyond the one it opens with: name and how to show it.
    std::vector<std::pair<QString, std::function<void(QDialog *)>>> views;
};

// The entry of a screen class kept in `*global`; `refresh` and `returned` get the open
// screen only.
template <typename Screen, Screen **global>
ScreenEntry screen(std::function<Page::Id()> below, std::function<void(Screen &, int)> refresh,
                   std::function<void(Screen &)> returned = {}, bool idleCloses = true)
{
    ScreenEntry e;
    e.current = [] { return static_cast<QDialog *>(*global); };
    e.build = [] {
        delete *global;
        Screen *s = new Screen(nullptr);
        *global = s;
        // Whoever deletes it (a test, the tools), the global must not dangle.
        QObject::connect(s, &QObject::destroyed, [s] {
            if (*global == s)
                *global = nullptr;
        });
        return static_cast<QDialog *>(s);
    };
    e.forget = [] { *global = nullptr; };
    e.refresh = [refresh](int code) {
        if (*global)
            refresh(**global, code);
    };
    if (returned) {
        e.returned = [returned] {
            if (*global)
                returned(**global);
        };
    }
    e.below = std::move(below);
    e.idleCloses = idleCloses;
    return e;
}

// A view shown by pressing the screen's buttons, in order.
std::pair<QString, std::function<void(QDialog *)>> view(const char *name, std::vector<const char *> buttons)
{
    return {QString::fromLatin1(name), [buttons](QDialog *screen) {
                for (const char *b : buttons) {
                    if (auto *button = screen->findChild<QPushButton *>(QLatin1String(b)))
                        button->click();
                }
            }};
}

// The factory page of a video chip whose flash holds no font.
std::pair<QString, std::function<void(QDialog *)>> fontsAbsentView()
{
    return {QStringLiteral("fonts_absent"), [](QDialog *screen) {
                const u32 present = c331_manage::font_present.exchange(0);
                view("", {"Button_LCDshow", "Button_factory", "Button_language"}).second(screen);
                c331_manage::font_present = present;
            }};
}

// The ageing page with `records` records of a running output, opened by its access code.
std::pair<QString, std::function<void(QDialog *)>> ageLogView(const char *name, int records)
{
    return {QString::fromLatin1(name), [records](QDialog *screen) {
                const QStringList kept = factoryage_log;
                factoryage_log.clear();
                const QDateTime start(QDate(2024, 5, 14), QTime(9, 0));
                for (int i = 0; i < records; ++i)
                    kra_append_age_record(start.addSecs(180 * i), {u8(i * 3 + i % 4), u8(i == 5 ? 27 : 31), u8(i * 3)},
                                          {u8(i * 7), 31, u8(i * 3)});
                auto runner = NumberKeyboard::runner;
                NumberKeyboard::runner = [](NumberKeyboard *kb) {
                    for (int d : {8, 6, 2, 7})
                        kb->press_digit(d);
                    kb->press_ok();
                };
                view("", {"Button_LCDshow", "Button_factory_age"}).second(screen);
                NumberKeyboard::runner = runner;
                factoryage_log = kept;
            }};
}

// The check page after a check of the simulated cards: card `port`/3 lost (none for port
// -1), the pack holding `pack` cards of that port.
std::pair<QString, std::function<void(QDialog *)>>
rcvCheckView(const char *name, int port, int pack,
             FpgaModelSim::RcvFaultFails fails = FpgaModelSim::FAILS_NOTHING)
{
    return {QString::fromLatin1(name), [port, pack, fails](QDialog *screen) {
                fpga_manage *fpga = fpga_manage::p_fpga_manage;
                if (!fpga || !fpga->model())
                    return;
                fpga->model()->set_rcv_fault(port, 2, pack, fails);
                view("", {"Button_rcv_recovery", "Button_check"}).second(screen);
                for (int i = 0; i < 1000 && fpga_manage::send_para_u16(SendPara::JOB) != 0; ++i)
                    fpga->run_once();
                QCoreApplication::processEvents();
                fpga->model()->set_rcv_fault(-1, 0, 0);
            }};
}

std::function<Page::Id()> on(Page::Id page)
{
    return [page] { return page; };
}

// The main window and the home screen are the shell itself: refreshed through the table,
// never opened or closed by it.
void refreshMain(int)
{
    if (g_mainwindow)
        g_mainwindow->syncUpdate();
    else
        KraRamPara::pInstance()->KraLanguageChanged();
}

const std::map<int, ScreenEntry> &table()
{
    static const std::map<int, ScreenEntry> t = [] {
        std::map<int, ScreenEntry> m;
        ScreenEntry &home = m[Page::Home];
        home.refresh = [](int code) {
            refreshMain(code);
            if (g_lockwindow)
                g_lockwindow->syncUpdate();
        };
        home.idleCloses = false;
        ScreenEntry &main = m[Page::Main];
        main.refresh = refreshMain;
        main.returned = [] {
            if (g_mainwindow)
                g_mainwindow->language_changed();
        };
        main.idleCloses = false;

        m[Page::InputSelect] = screen<InputChoose, &g_inputchoose>(
            [] {
                return g_imagelayout ? Page::WindowLayout : g_option ? Page::Settings : Page::Main;
            },
            [](InputChoose &s, int code) { s.syncUpdate(code); },
            [](InputChoose &s) {
                s.language_changed();
                s.initSource();
                s.crop_source_num_update();
            });
        m[Page::UserModes] = screen<CustomMode, &g_custommode>(
            on(Page::Main), [](CustomMode &s, int) { s.syncUpdate(); });
        m[Page::Settings] = screen<Option, &g_option>(
            on(Page::Main),
            [](Option &s, int) {
                if (KraRamPara::pInstance()->KraLanguageChanged())
                    s.language_changed();
            },
            [](Option &s) { s.language_changed(); });
        m[Page::Output] = screen<OutputSet, &g_outputset>(
            on(Page::Settings), [](OutputSet &s, int) { s.syncUpdate(); });
        m[Page::CropEditor] = screen<InputCut, &g_inputcut>(
            [] { return g_inputchoose ? Page::InputSelect : Page::Settings; },
            [](InputCut &s, int code) { s.syncUpdate(code); });
        m[Page::Edid] = screen<EDIDset, &g_edidset>(
            [] { return g_inputchoose ? Page::InputSelect : Page::Main; },
            [](EDIDset &s, int) { s.syncUpdate(); });
        m[Page::WindowLayout] = screen<ImageLayout, &g_imagelayout>(
            on(Page::Settings), [](ImageLayout &s, int) { s.syncUpdate(); },
            [](ImageLayout &s) {
                s.language_changed();
                s.image_para_update();
                s.image_init();
            });
        m[Page::Communication] = screen<LinkOption, &g_linkoption>(
            on(Page::Settings), [](LinkOption &s, int code) { s.syncUpdate(code); });
        m[Page::Communication].views = {view("net", {"Button_wlan"}), view("usb", {"Button_usb"})};
        m[Page::PictureQuality] = screen<ImageQuality, &g_imagequality>(
            on(Page::Settings), [](ImageQuality &s, int) { s.syncUpdate(); });
        // The pattern keeps running on the LED screen: the idle time-out leaves it open.
        m[Page::TestPatterns] = screen<test_chart, &g_test_chart>(
            on(Page::Settings), [](test_chart &s, int) { s.syncUpdate(); }, {}, false);
        ScreenEntry &mapping = m[Page::SmartMapping] = screen<SmartMapping, &g_smartmapping>(
            on(Page::Settings), [](SmartMapping &s, int code) { s.syncUpdate(code); });
        // A scan file sent by a PC (kind 13) or a deleted file may change what it lists:
        // it closes, unless a job's bar is shown.
        mapping.protocolFile = [](ProtocolFile event, int kind) {
            if (g_smartmapping && (event == ProtocolFile::Deleted
                                   || (event == ProtocolFile::TransferEnded && kind == 13)))
                g_smartmapping->on_Button_back_clicked();
        };
        mapping.views = {view("port", {"Button_next", "Button_wlan2"}), view("grid", {"Button_next_2"}),
                         view("routing", {"Button_route"}), view("scanport", {"Button_loadscan"}),
                         view("scanlist", {"Button_next_5"}), view("save", {"Button_paraweld"}),
                         view("switch", {"Button_mapping"}),
                         {QStringLiteral("job"), [](QDialog *screen) {
                              view("", {"Button_shortcut", "Button_next", "Button_next_2"}).second(screen);
                              QRoundProgressBar::create_qround_bar(screen);
                              g_qround_bar->para_sync(40);
                          }}};
        ScreenEntry &advanced = m[Page::Advanced] = screen<AdvancedOption, &g_advancedoption>(
            on(Page::Settings), [](AdvancedOption &s, int code) { s.syncUpdate(code); });
        // A deleted file closes the receiving-card page it may have been listed on; any
        // other file event only recounts the files.
        advanced.protocolFile = [](ProtocolFile event, int) {
            AdvancedOption *s = g_advancedoption;
            if (!s || event == ProtocolFile::TransferEnded)
                return;
            if (event == ProtocolFile::Deleted && s->rcv_self_recovery_ornot())
                s->close_screen();
            else
                s->language_changed();
        };
        advanced.views = {view("timeplan", {"Button_timeplan"}), view("other", {"Button_other"}),
                          view("language", {"Button_factory"}), view("reset", {"Button_factory", "Button_reset"}),
                          fontsAbsentView(),
                          ageLogView("aging_empty", 0), ageLogView("aging_one_page", 9),
                          ageLogView("aging_two_pages", 20),
                          rcvCheckView("check_no_card", -1, 0), rcvCheckView("check_white", 2, 8),
                          rcvCheckView("check_red", 2, 1),
                          rcvCheckView("check_failed", 2, 8, FpgaModelSim::FAILS_READ)};
        return m;
    }();
    return t;
}

const ScreenEntry *entry(int page)
{
    auto it = table().find(page);
    return it == table().end() ? nullptr : &it->second;
}

std::function<void(QDialog *)> s_runner;

// GUI thread: the screen on top decides.
void protocolFileInGui(ProtocolFile event, int kind)
{
    const ScreenEntry *e = entry(g_page_focus);
    if (e && e->protocolFile && e->current && e->current())
        e->protocolFile(event, kind);
}

// Without a window manager (the board has none) a window shown again is not lifted above
// the windows shown since it: it would stay hidden and take no touch.
class RaiseOnShow : public QObject
{
public:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show && o->isWidgetType()) {
            QWidget *w = static_cast<QWidget *>(o);
            w->raise();
            w->activateWindow();
        }
        return false;
    }
};

} // namespace

bool kra_screen_built(int page)
{
    const ScreenEntry *e = entry(page);
    return e && e->build;
}

void kra_open_screen(int page)
{
    const ScreenEntry *e = entry(page);
    if (!e || !e->build)
        return;
    QDialog *s = e->current();
    if (!s)
        s = e->build();
    g_page_focus = u8(page);
    static RaiseOnShow raiser;
    s->installEventFilter(&raiser); // once: Qt drops an earlier install of the same filter
    if (s_runner)
        s_runner(s);
    else
        s->exec();
}

QDialog *kra_construct_screen(int page)
{
    const ScreenEntry *e = entry(page);
    return e && e->build ? e->build() : nullptr;
}

void kra_close_screen(int page)
{
    const ScreenEntry *e = entry(page);
    if (!e || !e->below)
        return;
    const Page::Id below = e->below();
    if (QDialog *s = e->current()) {
        s->setAttribute(Qt::WA_DeleteOnClose);
        s->close();
    }
    e->forget();
    if (const ScreenEntry *b = entry(below); b && b->returned)
        b->returned();
    g_page_focus = below;
}

QStringList kra_screen_views(int page)
{
    QStringList names;
    if (const ScreenEntry *e = entry(page)) {
        for (const auto &v : e->views)
            names << v.first;
    }
    return names;
}

void kra_show_screen_view(QDialog *screen, int page, int view)
{
    const ScreenEntry *e = entry(page);
    if (screen && e && view >= 0 && view < int(e->views.size()))
        e->views[size_t(view)].second(screen);
}

void kra_set_screen_runner(std::function<void(QDialog *)> runner)
{
    s_runner = std::move(runner);
}

static void makeShellRelay();

void kra_register_screens()
{
    kra_screen_kit_init();
    static KraShell *shell = new KraShell; // lives as long as the managers' threads
    makeShellRelay();
    ScreenHost::install(shell);
}

void kra_delete_screens()
{
    for (const auto &page : table()) {
        if (QDialog *s = page.second.current ? page.second.current() : nullptr) {
            page.second.forget();
            delete s;
        }
    }
}

void kra_agelog_updated()
{
    if (g_advancedoption)
        g_advancedoption->update_agelog();
}

bool KraShell::refresh(int page, int code)
{
    const ScreenEntry *e = entry(page);
    if (!e || !e->refresh)
        return false;
    e->refresh(code);
    return true;
}

void KraShell::show_tip(int kind)
{
    if (g_tip)
        g_tip->tip_create(kind);
}

bool KraShell::close_top()
{
    const ScreenEntry *e = entry(g_page_focus);
    if (!e || !e->idleCloses || !e->below || !e->current() || g_qround_bar)
        return false;
    kra_close_screen(g_page_focus);
    return true;
}

void KraShell::lock()
{
    LockWindow::show_home();
}

bool KraShell::update_shown() const
{
    return g_mainwindow && g_mainwindow->update_shown();
}

namespace {
// GUI thread: the screen that started the job feeds its bar through its signal (connected
// when it made the bar); without that screen the bar, if any, is fed directly.
void jobProgressInGui(int sink, int percent)
{
    if (sink == PROGRESS_SMARTMAPPING && g_smartmapping)
        emit g_smartmapping->sig_qround_bar_update(percent);
    else if (sink == PROGRESS_ADVANCED && g_advancedoption)
        emit g_advancedoption->sig_qround_bar_update(percent);
    else if (g_qround_bar)
        g_qround_bar->para_sync(percent);
}
} // namespace

// Carries the calls of other threads into the GUI thread. Queued calls by name copy their
// arguments in Qt's own code, so nothing a worker allocated is read by the GUI thread.
class KraShellRelay : public QObject
{
    Q_OBJECT
public slots:
    void jobProgress(int sink, int percent) { jobProgressInGui(sink, percent); }
    void protocolFile(int event, int kind) { protocolFileInGui(ProtocolFile(event), kind); }
    void updateNotice(bool shown)
    {
        if (!g_mainwindow)
            return;
        if (shown)
            g_mainwindow->update_start();
        else
            g_mainwindow->update_over();
    }
};

static KraShellRelay *s_relay = nullptr; // made in the GUI thread with the shell, never freed

static void makeShellRelay()
{
    if (!s_relay)
        s_relay = new KraShellRelay;
}

void KraShell::job_progress(int sink, int percent)
{
    if (s_relay)
        QMetaObject::invokeMethod(s_relay, "jobProgress", Qt::QueuedConnection, Q_ARG(int, sink),
                                  Q_ARG(int, percent));
}

void KraShell::protocol_file(ProtocolFile event, int kind)
{
    if (!s_relay || !QCoreApplication::instance()) {
        writeLogMsg(LOG_WARN, QStringLiteral("protocol file event without an event loop: dropped"));
        return;
    }
    QMetaObject::invokeMethod(s_relay, "protocolFile", Qt::QueuedConnection, Q_ARG(int, int(event)),
                              Q_ARG(int, kind));
}

void KraShell::update_notice(bool shown)
{
    if (s_relay)
        QMetaObject::invokeMethod(s_relay, "updateNotice", Qt::QueuedConnection, Q_ARG(bool, shown));
}

#include "screens.moc"
