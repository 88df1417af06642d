// The names file, the INI settings, the IP set-up commands and tick arithmetic.
#include "alias.h"
#include "config_engine.h"
#include "global.h"
#include "testsupport.h"
#include "utils.h"

#include <QFile>
#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char kNames[] = R"({
  "namelist": {
    "source": [
      {"id": 0, "valid": "on", "name": "Camera"},
      {"id": 2, "valid": "off", "name": "Hidden"},
      {"id": 3, "valid": "on", "name": ""},
      {"id": 4, "valid": "on", "name": "演讲台"}
    ],
    "crop": [
      {"id": 39, "valid": "on", "name": "Left half"}
    ]
  }
})";

// The same names, the groups given as a list of objects.
const char kNamesAsList[] = R"({
  "namelist": [
    {"source": [{"id": 0, "valid": "on", "name": "Camera"}, {"id": 2, "valid": "off", "name": "Hidden"}]},
    {"crop": [{"id": 39, "valid": "on", "name": "Left half"}]}
  ]
})";

void writeNames(const QByteArray &content)
{
    QFile f(alias_file_path());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QStringList addressCommands()
{
    QStringList out;
    for (const QString &c : TestDevice::commands()) {
        if (c.startsWith(QLatin1String("route")) || c.startsWith(QLatin1String("ifconfig eth0 ")))
            out << c;
    }
    out.removeAll(QStringLiteral("ifconfig eth0 >/dev/null 2>&1"));
    return out;
}

} // namespace

class TestNamesConfig : public QObject
{
    Q_OBJECT
private slots:
    void aliasEntry_data();
    void aliasEntry();
    void aliasMissingFile();
    void aliasBrokenFileSetAside();

    void configRoundTrip_data();
    void configRoundTrip();
    void configDefaults();

    void initIPAddressCommands();
    void initIPAddressRefusesMalformed_data();
    void initIPAddressRefusesMalformed();
    void wiredProbeUnderSh_data();
    void wiredProbeUnderSh();

    void timeSpace_data();
    void timeSpace();
};

void TestNamesConfig::aliasEntry_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("asList");
    QTest::newRow("valid") << "source" << 0 << 1 << "Camera" << false;
    QTest::newRow("UTF-8 name") << "source" << 4 << 1 << QString::fromUtf8("演讲台") << false;
    QTest::newRow("off") << "source" << 2 << 0 << "" << false;
    QTest::newRow("empty name") << "source" << 3 << 0 << "" << false;
    QTest::newRow("missing id") << "source" << 5 << 0 << "" << false;
    QTest::newRow("other group") << "crop" << 39 << 1 << "Left half" << false;
    QTest::newRow("missing group") << "win" << 0 << 0 << "" << false;
    QTest::newRow("list: valid") << "source" << 0 << 1 << "Camera" << true;
    QTest::newRow("list: off") << "source" << 2 << 0 << "" << true;
    QTest::newRow("list: other group") << "crop" << 39 << 1 << "Left half" << true;
}

void TestNamesConfig::aliasEntry()
{
    QFETCH(QString, group);
    QFETCH(int, id);
    QFETCH(int, result);
    QFETCH(QString, name);
    QFETCH(bool, asList);
    TestDevice dev;
    writeNames(asList ? kNamesAsList : kNames);
    ALIAS_PARA out;
    out.name = "untouched";
    QCOMPARE(get_json_alias_para(&out, group.toStdString(), id), result);
    if (result) {
        QCOMPARE(out.id, id);
        QCOMPARE(QString::fromStdString(out.name), name);
    }
    QVERIFY(QFile::exists(alias_file_path())); // a good file stays
}

void TestNamesConfig::aliasMissingFile()
{
    TestDevice dev;
    ALIAS_PARA out;
    QCOMPARE(get_json_alias_para(&out, "source", 0), 0);
}

void TestNamesConfig::aliasBrokenFileSetAside()
{
    TestDevice dev;
    const QByteArray broken("{\"namelist\": {\"source\": [ {\"id\": 0, ");
    writeNames(broken);
    ALIAS_PARA out;
    QCOMPARE(get_json_alias_para(&out, "source", 0), 0);
    QVERIFY(!QFile::exists(alias_file_path()));
    QFile aside(alias_file_path() + QStringLiteral(".bad"));
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), broken);
}

void TestNamesConfig::configRoundTrip_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("IP address") << int(ConfigItem::IPAddress) << QVariant(QStringLiteral("10.0.0.7"));
    QTest::newRow("mask") << int(ConfigItem::SubNetMask) << QVariant(QStringLiteral("255.255.0.0"));
    QTest::newRow("gateway") << int(ConfigItem::GateWay) << QVariant(QStringLiteral("10.0.0.1"));
    QTest::newRow("TCP port") << int(ConfigItem::TcpPort) << QVariant(6000);
    QTest::newRow("upgrade folder") << int(ConfigItem::UsbUpgradeDir) << QVariant(QStringLiteral("q71/new"));
}

void TestNamesConfig::configRoundTrip()
{
    QFETCH(int, item);
    QFETCH(QVariant, value);
    TestDevice dev;
    ConfigEngine *c = ConfigEngine::pInstance();
    const auto name = ConfigItem::ConfigName(item);
    c->write_config_variant(name, value);
    QVERIFY(QFile::exists(kra_path(QStringLiteral("/data/configs/tcpip.ini"))));
    QCOMPARE(c->read_config_variant(name).toString(), value.toString());
}

void TestNamesConfig::configDefaults()
{
    TestDevice dev;
    ConfigEngine *c = ConfigEngine::pInstance();
    QCOMPARE(c->read_config_variant(ConfigItem::IPAddress).toString(), QStringLiteral("192.168.1.199"));
    QCOMPARE(c->read_config_variant(ConfigItem::SubNetMask).toString(), QStringLiteral("255.255.255.0"));
    QCOMPARE(c->read_config_variant(ConfigItem::GateWay).toString(), QStringLiteral("192.168.1.1"));
    QCOMPARE(c->read_config_variant(ConfigItem::TcpPort).toInt(), 5005);
    c->read_all_to_globals();
    QCOMPARE(g_str_ip, QStringLiteral("192.168.1.199"));
    QCOMPARE(g_usb_grade_path, QStringLiteral("KRA-Q53"));
}

void TestNamesConfig::initIPAddressCommands()
{
    TestDevice dev;
    ConfigEngine *c = ConfigEngine::pInstance();
    c->write_config_variant(ConfigItem::IPAddress, QStringLiteral("10.1.2.3"));
    c->write_config_variant(ConfigItem::SubNetMask, QStringLiteral("255.255.0.0"));
    c->write_config_variant(ConfigItem::GateWay, QStringLiteral("10.1.0.1"));

    Utils::initIPAddress();

    const QStringList expected = {
        QStringLiteral("ifconfig eth0 >/dev/null 2>&1"),
        QStringLiteral("route del default wlan0"),
        QStringLiteral("ifconfig eth0 10.1.2.3 netmask 255.255.0.0"),
        QStringLiteral("route add -host 10.1.2.3 dev eth0"),
        QStringLiteral("route add default gw 10.1.0.1 metric 100"),
        QStringLiteral("route add -host 255.255.255.255 eth0"),
        QStringLiteral("route del 255.255.255.255 wlan1"),
    };
    QCOMPARE(TestDevice::commands(), expected);
    QCOMPARE(g_str_ip, QStringLiteral("10.1.2.3"));
}

void TestNamesConfig::initIPAddressRefusesMalformed_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("value");
    const int ip = ConfigItem::IPAddress, mask = ConfigItem::SubNetMask, gw = ConfigItem::GateWay;
    QTest::newRow("command after the address") << ip << "1.2.3.4; reboot";
    QTest::newRow("trailing newline") << ip << "1.2.3.4\n";
    QTest::newRow("newline and command") << ip << "1.2.3.4\nreboot";
    QTest::newRow("part above 255") << ip << "256.1.1.1";
    QTest::newRow("three parts") << ip << "1.2.3";
    QTest::newRow("five parts") << ip << "1.2.3.4.5";
    QTest::newRow("empty") << ip << "";
    QTest::newRow("blank inside") << ip << "1.2.3. 4";
    QTest::newRow("malformed mask") << mask << "255.255.255.0 up";
    QTest::newRow("malformed gateway") << gw << "$(reboot)";
}

void TestNamesConfig::initIPAddressRefusesMalformed()
{
    QFETCH(int, item);
    QFETCH(QString, value);
    TestDevice dev;
    ConfigEngine::pInstance()->write_config_variant(ConfigItem::ConfigName(item), value);
    Utils::initIPAddress();
    QCOMPARE(addressCommands(), QStringList());
}

void TestNamesConfig::wiredProbeUnderSh_data()
{
    QTest::addColumn<int>("ifconfigStatus");
    QTest::newRow("wired interface") << 0;
    QTest::newRow("no wired interface") << 1;
}

// system() runs the probe with /bin/sh: the probe fails exactly when ifconfig fails.
void TestNamesConfig::wiredProbeUnderSh()
{
    QFETCH(int, ifconfigStatus);
    TestDevice dev;
    Utils::initIPAddress();
    const QString probe = TestDevice::commands().value(0);
    QVERIFY(probe.startsWith(QLatin1String("ifconfig eth0")));

    const QString bin = dev.root() + QStringLiteral("/bin");
    QVERIFY(QDir().mkpath(bin));
    QFile fake(bin + QStringLiteral("/ifconfig"));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write(QByteArray("#!/bin/sh\nexit ") + QByteArray::number(ifconfigStatus) + "\n");
    fake.close();
    fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A plain fork and exec, as system() does: QProcess misreads its child under qemu-user,
    // and its clean-up then signals a process id that is not the child's.
    const QByteArray path = bin.toLocal8Bit() + ':' + qgetenv("PATH");
    const QByteArray command = probe.toLocal8Bit();
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("PATH", path.constData(), 1);
        alarm(10);
        execl("/bin/sh", "sh", "-c", command.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    QVERIFY(pid > 0);
    QCOMPARE(waitpid(pid, &status, 0), pid);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status) != 0, ifconfigStatus != 0);
}

void TestNamesConfig::timeSpace_data()
{
    QTest::addColumn<quint32>("since");
    QTest::addColumn<quint32>("now");
    QTest::addColumn<quint32>("span");
    QTest::newRow("plain") << 100u << 400u << 300u;
    QTest::newRow("none") << 7u << 7u << 0u;
    QTest::newRow("across the wrap") << 0xFFFFFF00u << 0x0000002Cu << 0x12Cu;
    QTest::newRow("just wrapped") << 0xFFFFFFFFu << 0u << 1u;
}

void TestNamesConfig::timeSpace()
{
    QFETCH(quint32, since);
    QFETCH(quint32, now);
    QFETCH(quint32, span);
    QCOMPARE(Utils::getTimeSpace(since, now), span);
    const u32 saved = G_timeTicks;
    G_timeTicks = now;
    QCOMPARE(Utils::getTimeSpace(since), span);
    G_timeTicks = saved;
}

QTEST_MAIN(TestNamesConfig)
#include "test_names_config.moc"
