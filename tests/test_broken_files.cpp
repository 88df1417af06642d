// Broken and hostile data files, leftovers of interrupted saves, durability of saves, and the
// USB upgrade's confinement to the stick. The broken files are generated here, one per kind.
#include "alias.h"
#include "config_engine.h"
#include "fpga_manage.h"
#include "fpga_model_sim.h"
#include "json_file.h"
#include "krarampara.h"
#include "omenu.h"
#include "tavik_model_sim.h"
#include "taviksource.h"
#include "testsupport.h"
#include "utils.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QtTest>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::mutex s_synced_mutex;
QStringList s_synced_folders;

} // namespace

// Records which folders were synced; the real call goes straight to the kernel.
extern "C" int fsync(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        char target[4096];
        const ssize_t n = ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(),
                                     target, sizeof target - 1);
        if (n > 0) {
            std::lock_guard<std::mutex> l(s_synced_mutex);
            s_synced_folders << QString::fromLocal8Bit(target, int(n));
        }
    }
    return int(syscall(SYS_fsync, fd));
}

namespace {

KraRamPara *para()
{
    return KraRamPara::pInstance();
}

// 'p' FIFO, 'l' link, 'f' regular file, '-' nothing.
char kindAt(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return '-';
    return S_ISFIFO(st.st_mode) ? 'p' : S_ISLNK(st.st_mode) ? 'l' : S_ISREG(st.st_mode) ? 'f' : '?';
}

// Runs `f` in a child that is killed after `seconds`, so that a reader that hangs fails the
// test instead of the suite. Returns the child's exit code, or 128 + the signal.
int inChild(const std::function<int()> &f, unsigned seconds = 5)
{
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(seconds);
        _exit(f());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

QByteArray deepNesting(int depth)
{
    return QByteArray(depth, '[') + QByteArray(depth, ']');
}

QByteArray namesWith(const QByteArray &name)
{
    return "{\"namelist\": {\"source\": [{\"id\": 0, \"valid\": \"on\", \"name\": \"" + name + "\"}]}}";
}

const char kOsd[] = R"({"name": "menu", "osdcount": 1, "menu": [{"x": 4, "text": "Hello"}]})";

QByteArray padded(const char *json, qint64 size)
{
    QByteArray b(json);
    return b + QByteArray(int(size - b.size()), ' ');
}

} // namespace

class TestBrokenFiles : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        dev_.reset(new TestDevice());
        g_usb_grade = 0;
        g_usb_grade_path = QStringLiteral(" ");
    }

    void cleanup()
    {
        g_usb_grade = 0;
        g_usb_grade_path = QStringLiteral(" ");
        dev_.reset();
    }

    void rejectedJsonSetAside_data()
    {
        QTest::addColumn<bool>("osd");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("accepted");
        const QByteArray brackets = QByteArray(300, '[') + QByteArray(300, '{') + "\\\"]";
        QTest::newRow("names: nested 100000 deep") << false << deepNesting(100000) << false;
        QTest::newRow("names: beyond the size limit") << false << padded(namesWith("Cam"), kJsonFileMax + 1) << false;
        QTest::newRow("names: truncated") << false << namesWith("Cam").left(30) << false;
        QTest::newRow("names: brackets inside a name") << false << namesWith(brackets) << true;
        QTest::newRow("names: at the size limit") << false << padded(namesWith("Cam"), kJsonFileMax) << true;
        QTest::newRow("OSD menu: nested 100000 deep") << true << "{\"menu\": " + deepNesting(100000) + "}" << false;
        QTest::newRow("OSD menu: beyond the size limit") << true << padded(kOsd, kJsonFileMax + 1) << false;
        QTest::newRow("OSD menu: good") << true << QByteArray(kOsd) << true;
    }
    void rejectedJsonSetAside()
    {
        QFETCH(bool, osd);
        QFETCH(QByteArray, content);
        QFETCH(bool, accepted);
        const QString path = osd ? KraRamPara::modeOsdPath(0) : alias_file_path();
        putFile(path, content);
        if (osd) {
            OSD_LIST list;
            QCOMPARE(get_json_omenu_para(QFile::encodeName(path).constData(), &list), accepted ? 0 : 1);
            if (accepted)
                QCOMPARE(QString::fromStdString(list.menu[0].text), QStringLiteral("Hello"));
        } else {
            ALIAS_PARA out;
            QCOMPARE(get_json_alias_para(&out, "source", 0), accepted ? 1 : 0);
        }
        if (accepted) {
            QCOMPARE(kindAt(path + QStringLiteral(".bad")), '-');
            return;
        }
        QCOMPARE(kindAt(path), '-');
        QVERIFY(readBytes(path + QStringLiteral(".bad")) == content); // kept byte for byte
    }

    void namesParsedOnceUntilChanged()
    {
        const QString path = alias_file_path();
        const QByteArray name = QFile::encodeName(path);
        auto lookup = [] {
            ALIAS_PARA out;
            return get_json_alias_para(&out, "source", 0) ? QString::fromStdString(out.name) : QString();
        };
        putFile(path, namesWith("One"));
        QCOMPARE(lookup(), QStringLiteral("One"));

        // Rewritten in place with its size and time kept: taken as unchanged, not read again.
        struct stat st;
        QCOMPARE(::stat(name.constData(), &st), 0);
        putFile(path, namesWith("Two"));
        const timespec times[2] = {st.st_atim, st.st_mtim};
        QCOMPARE(utimensat(AT_FDCWD, name.constData(), times, 0), 0);
        QCOMPARE(lookup(), QStringLiteral("One"));

        const timespec later[2] = {{0, UTIME_NOW}, {st.st_mtim.tv_sec + 1, st.st_mtim.tv_nsec}};
        QCOMPARE(utimensat(AT_FDCWD, name.constData(), later, 0), 0);
        QCOMPARE(lookup(), QStringLiteral("Two"));
        QCOMPARE(Utils::write_file_safely(path, namesWith("Six")), 0); // same size, new file
        QCOMPARE(lookup(), QStringLiteral("Six"));
        QVERIFY(QFile::remove(path));
        QCOMPARE(lookup(), QString());
    }

    void noRegularFileAtLoaderPath_data()
    {
        QTest::addColumn<QString>("loader");
        QTest::addColumn<bool>("fifo"); // else a link to a FIFO elsewhere
        QTest::addColumn<bool>("setAside");
        for (const bool fifo : {true, false}) {
            const char *kind = fifo ? "FIFO" : "link to a FIFO";
            QTest::addRow("parameter block, %s", kind) << "block" << fifo << true;
            QTest::addRow("user mode, %s", kind) << "mode" << fifo << false;
            QTest::addRow("names, %s", kind) << "names" << fifo << true;
            QTest::addRow("OSD menu, %s", kind) << "osd" << fifo << true;
            QTest::addRow("OSD menu copied into a mode, %s", kind) << "osdcopy" << fifo << false;
            QTest::addRow("INI, %s", kind) << "ini" << fifo << true;
            QTest::addRow("input sources, %s", kind) << "inputs" << fifo << false;
            QTest::addRow("command log, %s", kind) << "log" << fifo << true;
        }
    }
    void noRegularFileAtLoaderPath()
    {
        QFETCH(QString, loader);
        QFETCH(bool, fifo);
        QFETCH(bool, setAside);
        const QMap<QString, QString> paths = {
            {"block", KraRamPara::blockPath()},
            {"mode", KraRamPara::modePath(0)},
            {"names", alias_file_path()},
            {"osd", KraRamPara::modeOsdPath(0)},
            {"osdcopy", kra_path(QStringLiteral("/data/configs/omenu.json"))},
            {"ini", ConfigEngine::pInstance()->fileName()},
            {"inputs", TavikModelSim::file_path()},
            {"log", Utils::commandLogPath()},
        };
        const QString path = paths.value(loader);
        const QByteArray name = QFile::encodeName(path);
        QDir().mkpath(QFileInfo(path).absolutePath());
        // Never a link to a real device: a regressed save writing through the link would replace it.
        const QByteArray elsewhere = QFile::encodeName(dev_->root() + QStringLiteral("/elsewhere"));
        QCOMPARE(::mkfifo(fifo ? name.constData() : elsewhere.constData(), 0600), 0);
        if (!fifo)
            QCOMPARE(::symlink(elsewhere.constData(), name.constData()), 0);

        std::function<int()> load;
        if (loader == "block") {
            load = [] {
                {
                    ParaWrite w(false);
                    w.set8(Para::LANGUAGE, 0x77);
                }
                if (para()->ram_para_load() != 1)
                    return 1;
                return memcmp(para()->ram_para + Para::SAVED_FIRST, default_para_ramlist.data() + 2,
                              size_t(Para::IMAGE_SIZE - Para::SAVED_FIRST)) == 0 ? 0 : 2;
            };
        } else if (loader == "mode") {
            load = [] {
                para()->user_mode[0][0] = para()->user_mode[0][1] = 0xAA;
                para()->user_mode_load(0);
                return para()->KraUserModeSaved(0) == 0 ? 0 : 1;
            };
        } else if (loader == "names") {
            load = [] {
                ALIAS_PARA out;
                return get_json_alias_para(&out, "source", 0) == 0 ? 0 : 1;
            };
        } else if (loader == "osd") {
            load = [name] {
                OSD_LIST list;
                return get_json_omenu_para(name.constData(), &list) == 1 ? 0 : 1;
            };
        } else if (loader == "osdcopy") {
            load = [] {
                {
                    ParaWrite w(false);
                    w.set16(Para::OSD_ON, 1);
                }
                putFile(KraRamPara::modeOsdPath(0), "{}"); // an older mode's copy
                if (para()->user_mode_save(0) != 0)
                    return 1;
                return QFile::exists(KraRamPara::modeOsdPath(0)) ? 2 : 0;
            };
        } else if (loader == "inputs") {
            load = [] { return taviksource::pInstanceNoThread()->run_once() == 0 ? 0 : 1; };
        } else if (loader == "log") {
            load = [] {
                Utils::system_mutex(QStringLiteral("sync"), nullptr);
                return TestDevice::commands() == QStringList{"sync"} ? 0 : 1;
            };
        } else {
            load = [] {
                ConfigEngine *c = ConfigEngine::pInstance();
                if (c->read_config_variant(ConfigItem::IPAddress).toString() != QLatin1String("192.168.1.199"))
                    return 1;
                c->write_config_variant(ConfigItem::IPAddress, QStringLiteral("10.0.0.9"));
                return c->read_config_variant(ConfigItem::IPAddress).toString() == QLatin1String("10.0.0.9") ? 0 : 2;
            };
        }
        QCOMPARE(inChild(load), 0);
        const char kind = fifo ? 'p' : 'l';
        if (!fifo)
            QCOMPARE(kindAt(QFile::decodeName(elsewhere)), 'p');
        if (setAside) {
            QCOMPARE(kindAt(path + QStringLiteral(".bad")), kind);
            QCOMPARE(kindAt(path), loader == "ini" || loader == "log" ? 'f' : '-');
        } else {
            QCOMPARE(kindAt(path), kind);
        }
    }

    void staleIniLockCleared()
    {
        ConfigEngine *c = ConfigEngine::pInstance();
        c->write_config_variant(ConfigItem::GateWay, QStringLiteral("10.0.0.1"));
        // A lock naming a live process of this name, as a kill during a write leaves it when the
        // restarted application gets the same process id: Qt waits 30 s before taking it over.
        const QString lockPath = c->fileName() + QStringLiteral(".lock");
        QByteArray lockBytes;
        {
            QLockFile live(lockPath);
            QVERIFY(live.lock());
            lockBytes = readBytes(lockPath);
        }
        putFile(lockPath, lockBytes);

        Utils::clear_save_leftovers();
        QCOMPARE(kindAt(lockPath), '-');
        QElapsedTimer t;
        t.start();
        c->write_config_variant(ConfigItem::GateWay, QStringLiteral("10.0.0.2"));
        QVERIFY(t.elapsed() < 5000);
        QCOMPARE(c->read_config_variant(ConfigItem::GateWay).toString(), QStringLiteral("10.0.0.2"));
    }

    void saveLeftoversCleared_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("removed");
        QTest::newRow("parameter block temporary") << "/data/ram_device_info.aB3xZ9" << true;
        QTest::newRow("user mode temporary") << "/data/modes/custom_mode12.Qw12Er" << true;
        QTest::newRow("mode OSD menu temporary") << "/data/modes/MO0a.json.zzzzzz" << true;
        QTest::newRow("names temporary") << "/data/configs/alias.json.AAAAAA" << true;
        QTest::newRow("INI temporary") << "/data/configs/tcpip.ini.x1y2z3" << true;
        QTest::newRow("INI lock") << "/data/configs/tcpip.ini.lock" << true;
        QTest::newRow("parameter block") << "/data/ram_device_info" << false;
        QTest::newRow("rejected block") << "/data/ram_device_info.bad" << false;
        QTest::newRow("user mode") << "/data/modes/custom_mode12" << false;
        QTest::newRow("rejected names") << "/data/configs/alias.json.bad" << false;
        QTest::newRow("INI") << "/data/configs/tcpip.ini" << false;
        QTest::newRow("other file, same ending") << "/data/configs/notes.txt.abcdef" << false;
        QTest::newRow("other folder") << "/data/smartmapping/ram_device_info.aB3xZ9" << false;
    }
    void saveLeftoversCleared()
    {
        QFETCH(QString, file);
        QFETCH(bool, removed);
        const QString path = kra_path(file);
        putFile(path, "left");
        Utils::clear_save_leftovers();
        QCOMPARE(QFile::exists(path), !removed);
    }

    void savesSyncTheirFolder_data()
    {
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("folder");
        QTest::newRow("parameter block") << "block" << "/data";
        QTest::newRow("user mode") << "mode" << "/data/modes";
        QTest::newRow("INI item") << "ini" << "/data/configs";
        QTest::newRow("names file set aside") << "aside" << "/data/configs";
    }
    void savesSyncTheirFolder()
    {
        QFETCH(QString, save);
        QFETCH(QString, folder);
        if (save == "aside")
            putFile(alias_file_path(), "{");
        {
            std::lock_guard<std::mutex> l(s_synced_mutex);
            s_synced_folders.clear();
        }
        if (save == "block") {
            QCOMPARE(para()->ram_para_write_file(nullptr), 0);
        } else if (save == "mode") {
            QCOMPARE(para()->user_mode_save(3), 0);
        } else if (save == "ini") {
            ConfigEngine::pInstance()->write_config_variant(ConfigItem::TcpPort, 6001);
        } else {
            ALIAS_PARA out;
            QCOMPARE(get_json_alias_para(&out, "source", 0), 0);
            QVERIFY(QFile::exists(alias_file_path() + QStringLiteral(".bad")));
        }
        std::lock_guard<std::mutex> l(s_synced_mutex);
        QVERIFY2(s_synced_folders.contains(QDir(kra_path(folder)).canonicalPath()),
                 qPrintable(s_synced_folders.join(QLatin1Char(' '))));
    }

    // A save finds a link where its file belongs: the link is set aside, the file written in
    // its place, and the link's target is left alone.
    void savesNeverThroughALink_data()
    {
        QTest::addColumn<QString>("save");
        QTest::newRow("parameter block") << "block";
        QTest::newRow("user mode") << "mode";
        QTest::newRow("user mode's OSD menu copy") << "osd";
        QTest::newRow("command log") << "log";
    }
    void savesNeverThroughALink()
    {
        QFETCH(QString, save);
        const QString path = save == "block" ? KraRamPara::blockPath()
                             : save == "mode" ? KraRamPara::modePath(0)
                             : save == "osd"  ? KraRamPara::modeOsdPath(0)
                                              : Utils::commandLogPath();
        const QString target = dev_->root() + QStringLiteral("/elsewhere");
        putFile(target, "outside");
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(QFile::link(target, path));
        if (save == "block") {
            QCOMPARE(para()->ram_para_write_file(nullptr), 0);
        } else if (save == "log") {
            Utils::system_mutex(QStringLiteral("sync"), nullptr);
            QCOMPARE(TestDevice::commands(), QStringList{"sync"});
        } else {
            putFile(kra_path(QStringLiteral("/data/configs/omenu.json")), kOsd);
            {
                ParaWrite w(false);
                w.set16(Para::OSD_ON, 1);
            }
            QCOMPARE(para()->user_mode_save(0), 0);
            QCOMPARE(para()->KraUserModeSaved(0), 1);
        }
        QCOMPARE(readBytes(target), QByteArray("outside"));
        QCOMPARE(kindAt(path), 'f');
        QCOMPARE(kindAt(path + QStringLiteral(".bad")), 'l');
    }

    // A file picked from a listing and swapped before it is read: only a plain file that
    // still lies in its folder is installed or sent. The folder and those above it belong to
    // the device (a board may link /data or /mnt elsewhere): their links are followed.
    void pickedFileSwapped_data()
    {
        QTest::addColumn<bool>("scan"); // else an update package
        QTest::addColumn<QString>("swap");
        QTest::addColumn<bool>("taken");
        for (const bool scan : {false, true}) {
            const char *what = scan ? "scan file" : "package";
            QTest::addRow("%s kept", what) << scan << "" << true;
            QTest::addRow("%s: a link to a file outside", what) << scan << "link" << false;
            QTest::addRow("%s: a link to a file beside it", what) << scan << "near" << false;
            QTest::addRow("%s: a link to /dev/zero", what) << scan << "zero" << false;
            QTest::addRow("%s: a FIFO", what) << scan << "fifo" << false;
            QTest::addRow("%s: its folder a link", what) << scan << "folder" << true;
            QTest::addRow("%s: a folder above it a link", what) << scan << "above" << true;
        }
    }
    void pickedFileSwapped()
    {
        QFETCH(bool, scan);
        QFETCH(QString, swap);
        const QString folder = kra_path(scan ? QStringLiteral("/data/smartmapping") : QStringLiteral("/mnt/usb1"));
        const QString name = scan ? QStringLiteral("wall.ztfile") : QStringLiteral("app.KRA");
        const QString path = folder + QLatin1Char('/') + name;
        const QString outside = dev_->root() + QStringLiteral("/outside");
        putFile(path, QByteArray(300, 'k'));
        putFile(folder + QStringLiteral("/near.ztfile"), QByteArray(300, 'n'));
        putFile(outside + QLatin1Char('/') + name, QByteArray(300, 'o'));
        if (swap == "folder") {
            QVERIFY(QDir(folder).removeRecursively());
            QVERIFY(QFile::link(outside, folder));
        } else if (swap == "above") {
            const QString top = kra_path(scan ? QStringLiteral("/data") : QStringLiteral("/mnt"));
            QVERIFY(QDir().rename(top, outside + QStringLiteral("/moved")));
            QVERIFY(QFile::link(outside + QStringLiteral("/moved"), top));
        } else if (!swap.isEmpty()) {
            QVERIFY(QFile::remove(path));
            if (swap == "fifo")
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            else
                QVERIFY(QFile::link(swap == "near"   ? folder + QStringLiteral("/near.ztfile")
                                    : swap == "zero" ? QStringLiteral("/dev/zero")
                                                     : outside + QLatin1Char('/') + name,
                                    path));
        }
        FpgaModelSim *model = fpga_manage::pInstance()->model();
        bool taken;
        if (scan) {
            model->send_scan(3, QString(), QByteArray()); // the model outlives the test
            fpga_manage::set_ztfile_name(path);
            LINE_TYPE grid = fpga_manage::line_type_copy();
            grid.net_port = 3;
            fpga_manage::store_line_type(grid);
            fpga_manage::start_job(JOB_LOAD_SCAN);
            runFpgaJob();
            taken = model->scan_file(3) == name;
        } else {
            taken = model->install_update(path);
        }
        QTEST(taken, "taken");
    }

    void usbUpgradeStaysOnStick_data()
    {
        QTest::addColumn<QString>("gradePath");
        QTest::addColumn<QStringList>("installed");
        QTest::newRow("stick's top") << " " << QStringList{"top.KRA"};
        QTest::newRow("upgrade folder") << "KRA-Q53" << QStringList{"inner.KRA"};
        QTest::newRow("back to the top") << "KRA-Q53/.." << QStringList{"top.KRA"};
        QTest::newRow("up and out") << "../../data" << QStringList{};
        QTest::newRow("out through the folder") << "KRA-Q53/../../../data" << QStringList{};
        QTest::newRow("absolute path") << "/../../data" << QStringList{};
        QTest::newRow("link leading out") << "outside" << QStringList{};
        QTest::newRow("missing folder") << "nothing" << QStringList{};
    }
    void usbUpgradeStaysOnStick()
    {
        QFETCH(QString, gradePath);
        QFETCH(QStringList, installed);
        putFile(kra_path(QStringLiteral("/mnt/usb1/top.KRA")), QByteArray(200, 'k'));
        putFile(kra_path(QStringLiteral("/mnt/usb1/KRA-Q53/inner.KRA")), QByteArray(200, 'k'));
        putFile(kra_path(QStringLiteral("/data/off_stick.KRA")), QByteArray(200, 'k'));
        QVERIFY(QFile::link(kra_path(QStringLiteral("/data")), kra_path(QStringLiteral("/mnt/usb1/outside"))));
        g_usb_grade_path = gradePath;
        fpga_manage::start_usb_upgrade();
        runUsbUpgrade();
        QCOMPARE(g_usb_grade.load(), 0);
        QCOMPARE(fileNamesOf(fpga_manage::pInstance()->model()->installed(), true), installed);
        QCOMPARE(fpga_manage::pInstance()->model()->not_installed(), QStringList());
    }

    void usbFileGoneReportedNotInstalled()
    {
        for (const char *f : {"a.KRA", "b.KRAZK", "c.KRAZK", "short.KRAZK"})
            putFile(kra_path(QStringLiteral("/mnt/usb1/")) + QLatin1String(f),
                       QByteArray(strcmp(f, "short.KRAZK") == 0 ? 10 : 200, 'k'));
        fpga_manage::start_usb_upgrade();
        for (int i = 0; i < 10 && fpga_manage::send_para_byte(SendPara::STEP) != 2; ++i)
            fpga_manage::pInstance()->run_once();
        QCOMPARE(int(fpga_manage::send_para_byte(SendPara::STEP)), 2); // listed, not installed yet
        QVERIFY(QFile::remove(kra_path(QStringLiteral("/mnt/usb1/b.KRAZK"))));
        const QByteArray c = QFile::encodeName(kra_path(QStringLiteral("/mnt/usb1/c.KRAZK")));
        QVERIFY(QFile::remove(QFile::decodeName(c)));
        QCOMPARE(::mkfifo(c.constData(), 0600), 0);

        const int r = inChild([] {
            runUsbUpgrade();
            fpga_manage *f = fpga_manage::pInstance();
            if (g_usb_grade != 0 || fileNamesOf(f->model()->installed(), true) != QStringList{"a.KRA"})
                return 1;
            if (fileNamesOf(f->model()->not_installed(), true) != QStringList{"b.KRAZK", "c.KRAZK", "short.KRAZK"})
                return 2;
            return f->upgrade_result == fpga_manage::USB_UPGRADE_REFUSED ? 0 : 3;
        });
        QCOMPARE(r, 0);
    }

private:
    std::unique_ptr<TestDevice> dev_;
};

QTEST_MAIN(TestBrokenFiles)
#include "test_broken_files.moc"
