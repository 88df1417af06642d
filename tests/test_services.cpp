// The WLAN service's restart request and the SDI receiver's reset, as the screens call them.
#include "q71_wifi_config.h"
#include "taviksource.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QtTest>
#include <memory>
#include <thread>

class TestServices : public QObject
{
    Q_OBJECT
private slots:
    void init() { dev_.reset(new TestDevice()); }
    void cleanup() { dev_.reset(); }
    void wifiResetRequest();
    void sdiReceiverReset();

private:
    std::unique_ptr<TestDevice> dev_;
};

// The request is kept with the tick of the latest press; nothing is run.
void TestServices::wifiResetRequest()
{
    QVERIFY(!Q71_WIFI_CONFIG::p_wifi);
    Q71_WIFI_CONFIG *wifi = Q71_WIFI_CONFIG::pInstance();
    QCOMPARE(Q71_WIFI_CONFIG::p_wifi, wifi);
    QCOMPARE(int(wifi->wifi_reset_flag()), 0);
    G_timeTicks = 1234;
    wifi->set_wifi_reset_flag();
    G_timeTicks = 0xFFFFFFF0u;
    wifi->set_wifi_reset_flag();
    QCOMPARE(int(wifi->wifi_reset_flag()), 1);
    QCOMPARE(wifi->wifi_reset_time(), 0xFFFFFFF0u);
    QCOMPARE(TestDevice::commands(), QStringList{});
}

// Two resets from two threads give two whole pulses of at least 50 ms; the line ends high.
void TestServices::sdiReceiverReset()
{
    it66121_sys &chip = taviksource::pInstanceNoThread()->it66121;
    QVERIFY(chip.gs2971_reset_level());
    QElapsedTimer clock;
    clock.start();
    std::thread other([&chip] { chip.GS2971_Reset(); });
    chip.GS2971_Reset();
    other.join();
    QVERIFY(clock.elapsed() >= 100);
    QVERIFY(chip.gs2971_reset_level());
    const QString low = QStringLiteral("# gs2971: reset line low"), high = QStringLiteral("# gs2971: reset line high");
    QCOMPARE(TestDevice::commands(), (QStringList{low, high, low, high}));
}

QTEST_MAIN(TestServices)
#include "test_services.moc"
