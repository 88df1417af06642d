// Renders every screen in every language to PNG files for review, in the state of the data
// root (an empty temporary one by default):
//   kra_screenshots OUTDIR [--root DIR]
// Writes <screen>_<lang>.png (lang zh, en, ru, vi, tw), and <screen>_<view>_<lang>.png for
// the further pages and tabs the table names, and prints one line per file.
// The pages of the screens table are found at run time, so a screen added there is
// rendered without touching this tool.
#include "global.h"
#include "fpga_manage.h"
#include "krarampara.h"
#include "linkoption.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "numberkeyboard.h"
#include "screens.h"
#include "startup.h"
#include "taviksource.h"
#include "tip.h"
#include "usbserver.h"
#include "utils.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QPixmap>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char *kLangNames[5] = {"zh", "en", "ru", "vi", "tw"};
const KraText kCaption = {{"宽度", "Width", "Ширина", "Chiều rộng", "寬度"}};

struct Shooter {
    QString outDir;
    int failures = 0;

    // Shows the widget so that layouts and style sheets apply, then saves what it paints.
    void shoot(QWidget *w, const QString &name, int lang)
    {
        w->show();
        QApplication::processEvents();
        const QString file = QStringLiteral("%1_%2.png").arg(name, QLatin1String(kLangNames[lang]));
        const QString path = QDir(outDir).filePath(file);
        if (w->grab().save(path)) {
            printf("%s\n", qPrintable(path));
        } else {
            fprintf(stderr, "kra_screenshots: cannot write %s\n", qPrintable(path));
            ++failures;
        }
        fflush(stdout);
    }
};

void setLanguage(int lang)
{
    g_language = u8(lang);
    g_lcd_lang_valid = 0x1F;
    // Live and shadow agree, so no refresh sees a language change and resets it.
    ParaWrite w(false);
    w.set8(Para::LANGUAGE, u8(lang));
    w.set8(Para::LANGUAGE + 1, 0);
    memcpy(KraRamPara::pInstance()->ram_para_bak + Para::LANGUAGE, w.image() + Para::LANGUAGE, 2);
}

// The communication screen's USB update page with the files of a stick, and after an
// upgrade of them.
void shootLinkPages(Shooter &shooter, QDialog *screen, const QString &name, int lang)
{
    auto *link = qobject_cast<LinkOption *>(screen);
    if (!link)
        return;
    auto click = [link](const char *button) { link->findChild<QPushButton *>(button)->click(); };
    QString stick = kra_path(QStringLiteral("/mnt/usb1"));
    if (g_usb_grade_path != QLatin1String(" "))
        stick += QLatin1Char('/') + g_usb_grade_path;
    click("Button_usb");
    // A stick with update files is shown as it is; on one without, a few examples are
    // written for the picture and removed again.
    QStringList examples;
    if (UsbServer::upgrade_files().files.isEmpty()) {
        QDir().mkpath(stick);
        for (const char *file : {"Q71N_app_v2.3.KRA", "fpga_sender_v1.8.KRAZK", "Q71N_app_v2.2.KRA",
                                 "fpga_receiver_v1.1.KRAZK", "logo <test> & more.KRAZK", "spare.KRAZK"}) {
            QFile f(QDir(stick).filePath(QString::fromUtf8(file)));
            if (f.open(QIODevice::WriteOnly))
                f.write(QByteArray(64, 'k'));
            examples << f.fileName();
        }
    }
    link->syncUpdate(102);
    shooter.shoot(link, name + QStringLiteral("_usb_files"), lang);

    fpga_manage *fpga = fpga_manage::pInstance();
    click("Button_ok");
    for (int i = 0; i < 100 && g_usb_grade != 0; ++i)
        fpga->run_once();
    link->syncUpdate(104);
    shooter.shoot(link, name + QStringLiteral("_usb_result"), lang);
    for (const QString &file : examples)
        QFile::remove(file);
}

// The file-name stem of a screen: its class in lower case, made unique by the page.
QString screenName(const QDialog *screen, int page, QSet<QString> &used)
{
    QString name = QString::fromLatin1(screen->metaObject()->className()).toLower();
    if (used.contains(name))
        name += QStringLiteral("_%1").arg(page);
    used.insert(name);
    return name;
}

QtMessageHandler s_default_handler = nullptr;

// The offscreen platform notes every raise() of a window; here that is only noise.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message == QLatin1String("This plugin does not support raise()"))
        return;
    s_default_handler(type, context, message);
}

int usage()
{
    fprintf(stderr, "usage: kra_screenshots OUTDIR [--root DIR]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    s_default_handler = qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QString outDir, root;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--root") == 0) {
            if (++i >= argc)
                return usage();
            root = QString::fromLocal8Bit(argv[i]);
        } else if (outDir.isEmpty() && argv[i][0] != '-') {
            outDir = QString::fromLocal8Bit(argv[i]);
        } else {
            return usage();
        }
    }
    if (outDir.isEmpty())
        return usage();

    QApplication app(argc, argv);
    if (!QDir().mkpath(outDir)) {
        fprintf(stderr, "kra_screenshots: cannot create %s\n", qPrintable(outDir));
        return 1;
    }

    std::unique_ptr<QTemporaryDir> tempRoot;
    if (root.isEmpty()) {
        tempRoot.reset(new QTemporaryDir());
        if (!tempRoot->isValid()) {
            fprintf(stderr, "kra_screenshots: cannot make a temporary data root\n");
            return 1;
        }
        root = tempRoot->path();
        // A few scan files on the device and on the stick, for the smart mapping screen's list.
        const QStringList scans = {QStringLiteral("data/smartmapping/P3.9_indoor.ztfile"),
                                   QStringLiteral("data/smartmapping/P2.6_rental.ztfile"),
                                   QStringLiteral("mnt/usb1/stage_left.ztfile"),
                                   QStringLiteral("mnt/usb1/stage_right.ztfile")};
        for (const QString &scan : scans) {
            QDir(root).mkpath(QFileInfo(scan).path());
            QFile f(QDir(root).filePath(scan));
            if (f.open(QIODevice::WriteOnly))
                f.write(QByteArray(64, '\0'));
        }
    }
    kra_set_root(root);
    if (tempRoot) { // one receiving-card pack: the check page opens
        QDir().mkpath(kra_path(QStringLiteral("/data/rcvrecovery")));
        QFile pack(kra_path(QStringLiteral("/data/rcvrecovery/screen1.rcv")));
        if (!pack.open(QIODevice::WriteOnly))
            fprintf(stderr, "kra_screenshots: no receiving-card pack\n");
    }
    kra_start_up(KraRun::Offline); // an empty root gives the default parameters
    taviksource::pInstanceNoThread()->run_once(); // the root's simulated inputs, if any

    QList<int> pages;
    for (int page = 0; page <= 255; ++page) {
        if (kra_screen_built(page))
            pages.append(page);
    }

    Shooter shooter{outDir};
    for (int lang = 0; lang < 5; ++lang) {
        setLanguage(lang);

        // Screens are rebuilt per language: their texts are set when they are built.
        g_page_focus = Page::Home;
        g_lockwindow = new LockWindow(nullptr);
        shooter.shoot(g_lockwindow, QStringLiteral("lockwindow"), lang);
        delete g_lockwindow;
        g_lockwindow = nullptr;

        g_page_focus = Page::Main;
        g_mainwindow = new MainWindow(nullptr);
        shooter.shoot(g_mainwindow, QStringLiteral("mainwindow"), lang);
        g_mainwindow->on_Button_mode_panel_clicked();
        shooter.shoot(g_mainwindow, QStringLiteral("mainwindow_modepanel"), lang);
        g_mainwindow->on_Button_mode_close_clicked();
        g_mainwindow->hide();

        g_numberkeyboard->label_show(kra_text(kCaption), QStringLiteral("1920"));
        shooter.shoot(g_numberkeyboard, QStringLiteral("numberkeyboard"), lang);
        g_numberkeyboard->hide();

        g_tip->tip_create(1);
        shooter.shoot(g_tip, QStringLiteral("tip"), lang);
        g_tip->hide();

        QSet<QString> used = {QStringLiteral("lockwindow"), QStringLiteral("mainwindow"),
                              QStringLiteral("numberkeyboard"), QStringLiteral("tip")};
        for (int page : pages) {
            g_page_focus = u8(page);
            QDialog *screen = kra_construct_screen(page);
            if (!screen)
                continue;
            const QString name = screenName(screen, page, used);
            shooter.shoot(screen, name, lang);
            const QStringList views = kra_screen_views(page);
            for (int v = 0; v < views.size(); ++v) {
                kra_show_screen_view(screen, page, v);
                shooter.shoot(screen, name + QLatin1Char('_') + views[v], lang);
            }
            shootLinkPages(shooter, screen, name, lang);
            delete screen;
        }

        delete g_mainwindow;
        g_mainwindow = nullptr;
        QApplication::processEvents();
    }
    return shooter.failures ? 1 : 0;
}
