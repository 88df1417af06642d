// The parameter block: its file, defaults, crop table, window sources, language and user modes.
#include "c331_manage.h"
#include "krarampara.h"
#include "testsupport.h"
#include "utils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

KraRamPara *para()
{
    return KraRamPara::pInstance();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), qint64(data.size()));
}

QByteArray savedRange(const u8 *image)
{
    return QByteArray(reinterpret_cast<const char *>(image) + Para::SAVED_FIRST,
                      Para::IMAGE_SIZE - Para::SAVED_FIRST);
}

QByteArray defaultRange()
{
    return QByteArray(reinterpret_cast<const char *>(default_para_ramlist.data()) + 2,
                      Para::IMAGE_SIZE - Para::SAVED_FIRST);
}

// Live and shadow get the same bytes, as after a load.
void fillSavedRange(u8 seed)
{
    ParaWrite w(false);
    for (int a = Para::SAVED_FIRST; a < Para::IMAGE_SIZE; ++a)
        w.image()[a] = u8(a * 7 + seed);
    memcpy(para()->ram_para_bak, para()->ram_para, Para::IMAGE_SIZE);
}

// A crop-table entry in use: input, crop number (1..40) and rectangle.
void putCrop(int entry, int input, int number, int x = 0, int y = 0, int w = 0, int h = 0)
{
    {
        ParaWrite pw(false);
        pw.set8(Para::crop(entry, 0), u8(input));
        pw.set8(Para::crop(entry, 1), u8(0x80 + number - 1));
        pw.set16(Para::crop(entry, 2), u16(x));
        pw.set16(Para::crop(entry, 4), u16(y));
        pw.set16(Para::crop(entry, 6), u16(w));
        pw.set16(Para::crop(entry, 8), u16(h));
    }
    para()->KraCropSourceInit();
}

void setSource(int window, u16 word)
{
    ParaWrite pw(false);
    pw.set16(Para::win(window, Para::W_SOURCE), word);
}

u16 source(int window)
{
    return para()->live16(Para::win(window, Para::W_SOURCE));
}

QByteArray liveImage()
{
    return QByteArray(reinterpret_cast<const char *>(para()->ram_para), Para::IMAGE_SIZE);
}

ino_t inodeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

class TestKraRamPara : public QObject
{
    Q_OBJECT
private slots:
    void blockFileRoundTrip();
    void badBlockFileGivesDefaults_data();
    void badBlockFileGivesDefaults();
    void saveReplacesTheFileWhole();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void pictureDefaults();

    void sourceNum_data();
    void sourceNum();
    void cropIdsInNumberOrder();
    void addNewCropTakesLowestNumberAndFirstEntry();
    void addNewCropStoresNothingWhenTableFull();
    void setCropParaKeepsHeader_data();
    void setCropParaKeepsHeader();
    void deleteCropRepointsWindows();

    void setImageSource_data();
    void setImageSource();
    void setImageSourceCurrentMode_data();
    void setImageSourceCurrentMode();
    void getImageSource_data();
    void getImageSource();

    void languageChanged_data();
    void languageChanged();

    void userModeSave_data();
    void userModeSave();
    void userModeDelete();
};

void TestKraRamPara::blockFileRoundTrip()
{
    TestDevice dev;
    fillSavedRange(3);
    const QByteArray written = savedRange(para()->ram_para);
    QCOMPARE(para()->ram_para_write_file(), 0);

    const QByteArray file = readAll(KraRamPara::blockPath());
    QCOMPARE(file.size(), 2 + 3328);
    QCOMPARE(u8(file[0]), u8(0xAA));
    QCOMPARE(u8(file[1]), u8(0xAA));

    QCOMPARE(u8(file[2 + Para::TEST_PATTERN - Para::SAVED_FIRST]), para()->ram_para[Para::TEST_PATTERN]);

    fillSavedRange(99); // a different image, as after a restart with other contents
    QCOMPARE(para()->ram_para_load(), 0);
    // Everything comes back but the test pattern: none runs after a restart.
    QByteArray expected = written;
    expected[Para::TEST_PATTERN - Para::SAVED_FIRST] = 0;
    expected[Para::TEST_PATTERN + 1 - Para::SAVED_FIRST] = 0;
    QCOMPARE(savedRange(para()->ram_para), expected);
    QCOMPARE(savedRange(para()->ram_para_bak), expected);
}

void TestKraRamPara::badBlockFileGivesDefaults_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content");
    QByteArray good(3330, '\x11');
    good[0] = char(0xAA);
    good[1] = char(0xAA);
    QByteArray wrongMarker = good;
    wrongMarker[1] = char(0x55);
    QTest::newRow("missing") << false << QByteArray();
    QTest::newRow("empty") << true << QByteArray();
    QTest::newRow("short") << true << good.left(3329);
    QTest::newRow("long") << true << (good + '\x11');
    QTest::newRow("wrong marker") << true << wrongMarker;
}

void TestKraRamPara::badBlockFileGivesDefaults()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    TestDevice dev;
    const QString path = KraRamPara::blockPath();
    if (present)
        writeAll(path, content);
    fillSavedRange(5);

    QCOMPARE(para()->ram_para_load(), 1);
    QCOMPARE(savedRange(para()->ram_para), defaultRange());
    QCOMPARE(savedRange(para()->ram_para_bak), defaultRange());
    QCOMPARE(QFile::exists(path + QStringLiteral(".bad")), present);
    if (present) {
        QVERIFY(!QFile::exists(path));
        QCOMPARE(readAll(path + QStringLiteral(".bad")), content);
    }
}

void TestKraRamPara::saveReplacesTheFileWhole()
{
    TestDevice dev;
    const QString path = KraRamPara::blockPath();
    QCOMPARE(para()->ram_para_write_file(), 0);
    const ino_t before = inodeOf(path);
    fillSavedRange(8);
    QCOMPARE(para()->ram_para_write_file(), 0);

    // A new file renamed over the old one, never the old one rewritten in place.
    QVERIFY(inodeOf(path) != before);
    const QByteArray file = readAll(path);
    QCOMPARE(file.size(), 3330);
    QCOMPARE(file.mid(2), savedRange(para()->ram_para));
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files),
             QStringList{QStringLiteral("ram_device_info")});
}

void TestKraRamPara::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("folder not writable") << true;
    QTest::newRow("disk takes only part of the file") << false;
}

void TestKraRamPara::failedSaveKeepsTheOldFile()
{
    QFETCH(bool, readOnlyFolder);
    TestDevice dev;
    const QString path = KraRamPara::blockPath();
    const QString folder = QFileInfo(path).absolutePath();
    QCOMPARE(para()->ram_para_write_file(), 0);
    const QByteArray old = readAll(path);
    fillSavedRange(21);

    int result;
    if (readOnlyFolder) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(folder + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user writes into read-only folders");
        }
        result = para()->ram_para_write_file();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else {
        // A full disk: the write stops after 1000 bytes.
        auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit lim;
        getrlimit(RLIMIT_FSIZE, &lim);
        const rlimit saved = lim;
        lim.rlim_cur = 1000;
        setrlimit(RLIMIT_FSIZE, &lim);
        result = para()->ram_para_write_file();
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, oldHandler);
    }

    QCOMPARE(result, 1);
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("ram_device_info")});
}

void TestKraRamPara::pictureDefaults()
{
    const u16 expected[8] = {100, 50, 10, 50, 2, 64, 64, 64};
    QCOMPARE(default_para_ramlist[0], u8(0xAA));
    QCOMPARE(default_para_ramlist[1], u8(0xAA));
    for (int i = 0; i < 8; ++i)
        QCOMPARE(rd16(default_para_ramlist.data(), 1410 + 2 * i), expected[i]);
    TestDevice dev;
    QCOMPARE(para()->live16(Para::PICTURE), u16(100));
    QCOMPARE(para()->live16(Para::PICTURE + 14), u16(64));
}

void TestKraRamPara::sourceNum_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expected");
    QTest::newRow("count 0") << 2 << 0 << 0;
    QTest::newRow("count negative") << 2 << -3 << 0;
    QTest::newRow("first entry") << 2 << 1 << 1;
    QTest::newRow("entry not in use skipped") << 2 << 2 << 1;
    QTest::newRow("other input skipped") << 2 << 3 << 1;
    QTest::newRow("up to entry 3") << 2 << 4 << 2;
    QTest::newRow("whole table") << 2 << 40 << 2;
    QTest::newRow("other input") << 3 << 40 << 1;
    QTest::newRow("input without crops") << 5 << 40 << 0;
}

void TestKraRamPara::sourceNum()
{
    QFETCH(int, input);
    QFETCH(int, count);
    QFETCH(int, expected);
    TestDevice dev;
    putCrop(0, 2, 1);
    putCrop(1, 2, 2);
    {
        ParaWrite w(false);
        w.set8(Para::crop(1, 1), 0x01); // entry 1 keeps its input but is not in use
    }
    putCrop(2, 3, 1);
    putCrop(3, 2, 3);
    QCOMPARE(para()->KraGetSourceNum(input, count), expected);
}

void TestKraRamPara::cropIdsInNumberOrder()
{
    TestDevice dev;
    putCrop(0, 2, 5, 1, 2, 3, 4);
    putCrop(1, 2, 1);
    putCrop(2, 2, 3, 10, 20, 300, 400);
    putCrop(3, 4, 2);
    QCOMPARE(para()->KraGetCropID(2, 1), 1);
    QCOMPARE(para()->KraGetCropID(2, 2), 3);
    QCOMPARE(para()->KraGetCropID(2, 3), 5);
    QCOMPARE(para()->KraGetCropID(2, 4), 0);
    QCOMPARE(para()->KraGetCropID(2, 0), 0);
    QCOMPARE(para()->KraGetCropID(4, 1), 2);

    CROP_PARA crop{-1, -1, -1, -1, -1};
    int entry = -1;
    para()->KraGetCropPara(2, 2, &crop, &entry);
    QCOMPARE(entry, 2);
    QCOMPARE(crop.first, 2 + (0x80 + 2) * 256);
    QCOMPARE(crop.x, 10);
    QCOMPARE(crop.height, 400);

    CROP_PARA untouched{-1, -1, -1, -1, -1};
    para()->KraGetCropPara(2, 4, &untouched, &entry);
    QCOMPARE(entry, 40);
    QCOMPARE(untouched.x, -1);
}

void TestKraRamPara::addNewCropTakesLowestNumberAndFirstEntry()
{
    TestDevice dev;
    putCrop(1, 2, 1);
    putCrop(2, 2, 3);
    putCrop(3, 4, 2);
    CROP_PARA crop{0x7777, 0x12345, 20, 640, 360};
    para()->KraAddNewCrop(2, &crop);

    const u8 *img = para()->ram_para;
    QCOMPARE(img[Para::crop(0, 0)], u8(2));
    QCOMPARE(img[Para::crop(0, 1)], u8(0x80 + 1)); // crop number 2
    QCOMPARE(para()->live16(Para::crop(0, 2)), u16(0x2345));
    QCOMPARE(para()->live16(Para::crop(0, 4)), u16(20));
    QCOMPARE(para()->live16(Para::crop(0, 6)), u16(640));
    QCOMPARE(para()->live16(Para::crop(0, 8)), u16(360));
    QCOMPARE(int(c331_manage::para_changed), 1);
    QCOMPARE(para()->KraGetCropID(2, 2), 2); // the in-use bits follow the table
    QCOMPARE(para()->KraGetSourceNum(2, 40), 3);
}

void TestKraRamPara::addNewCropStoresNothingWhenTableFull()
{
    TestDevice dev;
    for (int e = 0; e < 40; ++e)
        putCrop(e, e % 5, e / 5 + 1);
    const QByteArray before = liveImage();
    CROP_PARA crop{0, 1, 2, 3, 4};
    para()->KraAddNewCrop(5, &crop);
    QCOMPARE(liveImage(), before);
    QCOMPARE(int(c331_manage::para_changed), 0);
    QCOMPARE(para()->KraGetSourceNum(5, 40), 0);
}

void TestKraRamPara::setCropParaKeepsHeader_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("stored");
    QTest::newRow("existing crop") << 2 << true;
    QTest::newRow("no such crop") << 3 << false;
}

void TestKraRamPara::setCropParaKeepsHeader()
{
    QFETCH(int, n);
    QFETCH(bool, stored);
    TestDevice dev;
    putCrop(0, 3, 1, 1, 1, 1, 1);
    putCrop(5, 3, 4, 5, 6, 7, 8);
    const QByteArray before = liveImage();
    CROP_PARA crop{0xFFFF, 100, 0x10020, 300, 400};
    para()->KraSetCropPara(3, char(n), &crop);

    if (!stored) {
        QCOMPARE(liveImage(), before);
        QCOMPARE(int(c331_manage::para_changed), 0);
        return;
    }
    const u8 *img = para()->ram_para;
    QCOMPARE(img[Para::crop(5, 0)], u8(3));
    QCOMPARE(img[Para::crop(5, 1)], u8(0x80 + 3));
    QCOMPARE(para()->live16(Para::crop(5, 2)), u16(100));
    QCOMPARE(para()->live16(Para::crop(5, 4)), u16(0x20));
    QCOMPARE(para()->live16(Para::crop(5, 6)), u16(300));
    QCOMPARE(para()->live16(Para::crop(5, 8)), u16(400));
    QCOMPARE(para()->live16(Para::crop(0, 2)), u16(1)); // the other crop is untouched
    QCOMPARE(int(c331_manage::para_changed), 1);
}

// Windows on the deleted crop show its whole input, also once another input's crop takes
// the freed entry; windows on other entries keep theirs.
void TestKraRamPara::deleteCropRepointsWindows()
{
    TestDevice dev;
    putCrop(0, 2, 1, 10, 20, 30, 40); // HDMI1's crop
    putCrop(1, 3, 1);
    setSource(2, 0x8000);
    setSource(0, 0x8000);
    setSource(9, 0x8100); // a record beyond the six shown; readers take the low byte
    setSource(1, 0x8001);
    setSource(3, 3);

    para()->KraDeleteCrop(2, 1);

    const u8 *img = para()->ram_para;
    QCOMPARE(img[Para::crop(0, 0)], u8(0));
    QCOMPARE(img[Para::crop(0, 1)], u8(0));
    QCOMPARE(para()->live16(Para::crop(0, 2)), u16(10));
    QCOMPARE(para()->live16(Para::crop(0, 8)), u16(40));
    QCOMPARE(source(2), u16(2));
    QCOMPARE(source(0), u16(2));
    QCOMPARE(source(9), u16(2));
    QCOMPARE(source(1), u16(0x8001));
    QCOMPARE(source(3), u16(3));
    QCOMPARE(para()->KraGetSourceNum(2, 40), 0);
    QCOMPARE(para()->KraGetCropID(2, 1), 0);
    QCOMPARE(int(c331_manage::para_changed), 1);

    CROP_PARA crop{0, 0, 0, 640, 360};
    para()->KraAddNewCrop(5, &crop); // HDMI4's crop takes the freed entry
    QCOMPARE(img[Para::crop(0, 0)], u8(5));
    QCOMPARE(img[Para::crop(0, 1)], u8(0x80));
    QCOMPARE(source(2), u16(2));
    QCOMPARE(para()->KraGetImageSource(img, 2, nullptr, nullptr, 0), u8(2));
}

void TestKraRamPara::setImageSource_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("window");
    QTest::addColumn<int>("word"); // -1: nothing written
    QTest::newRow("whole input") << 0 << 4 << 1 << 4;
    QTest::newRow("first crop in number order") << 1 << 2 << 3 << 0x8007;
    QTest::newRow("second crop") << 2 << 2 << 5 << 0x8002;
    QTest::newRow("crop that does not exist") << 3 << 2 << 1 << 0;
    QTest::newRow("input without crops") << 1 << 5 << 1 << 0;
    QTest::newRow("window beyond the six") << 0 << 4 << 6 << -1;
}

void TestKraRamPara::setImageSource()
{
    QFETCH(int, n);
    QFETCH(int, input);
    QFETCH(int, window);
    QFETCH(int, word);
    TestDevice dev;
    putCrop(2, 2, 4);
    putCrop(7, 2, 1);
    const QByteArray before = liveImage();

    para()->KraSetImageSource(n, char(input), char(window));

    if (word < 0) {
        QCOMPARE(liveImage(), before);
        QCOMPARE(int(c331_manage::para_changed), 0);
    } else {
        QCOMPARE(source(window), u16(word));
        QCOMPARE(int(c331_manage::para_changed), 1);
    }
}

void TestKraRamPara::setImageSourceCurrentMode_data()
{
    QTest::addColumn<int>("live");
    QTest::addColumn<int>("shadow");
    QTest::addColumn<int>("after");
    QTest::newRow("mode in force is left") << 5 << 5 << 0;
    QTest::newRow("mode just recalled is kept") << 5 << 0 << 5;
    QTest::newRow("no mode") << 0 << 0 << 0;
}

void TestKraRamPara::setImageSourceCurrentMode()
{
    QFETCH(int, live);
    QFETCH(int, shadow);
    QFETCH(int, after);
    TestDevice dev;
    {
        ParaWrite w(false);
        w.set16(Para::CURRENT_MODE, u16(live));
    }
    wr16(para()->ram_para_bak, Para::CURRENT_MODE, u16(shadow));
    para()->KraSetImageSource(0, 1, 0);
    QCOMPARE(int(para()->live16(Para::CURRENT_MODE)), after);
    QCOMPARE(source(0), u16(1));
}

void TestKraRamPara::getImageSource_data()
{
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("isCrop");
    QTest::addColumn<int>("entry");
    QTest::newRow("live, whole input") << false << 0x0004 << 4 << 0 << -1;
    QTest::newRow("live, crop") << false << 0x8003 << 1 << 1 << 3;
    QTest::newRow("live, entry above the table") << false << 0x802D << -1 << 1 << 45;
    QTest::newRow("saved mode, whole input") << true << 0x0005 << 5 << 0 << -1;
    QTest::newRow("saved mode, crop") << true << 0x8003 << 0 << 1 << 3;
    QTest::newRow("saved mode, entry above the table") << true << 0x8028 << -1 << 1 << 40;
}

void TestKraRamPara::getImageSource()
{
    QFETCH(bool, saved);
    QFETCH(int, word);
    QFETCH(int, input);
    QFETCH(int, isCrop);
    QFETCH(int, entry);
    TestDevice dev;
    const int window = 2;
    putCrop(3, 1, 1);
    setSource(window, 0x0002);
    // A user-mode slot's data holds image 896.. from byte 2 on; its crop 3 is of input 0.
    u8 *slot = para()->user_mode[6] + 2;
    memset(slot, 0, Para::IMAGE_SIZE);
    slot[Para::crop(3, 0) - Para::MODE_FIRST] = 0;
    slot[Para::crop(3, 1) - Para::MODE_FIRST] = 0x80;
    if (saved)
        wr16(slot, Para::win(window, Para::W_SOURCE) - Para::MODE_FIRST, u16(word));
    else
        setSource(window, u16(word));

    short crop = -1;
    char e = -1;
    const u8 *image = saved ? slot : para()->ram_para;
    const u8 got = para()->KraGetImageSource(image, window, &crop, &e, saved ? 1 : 0);
    if (input < 0)
        QVERIFY2(got > 5, "a crop entry outside the table names no input");
    else
        QCOMPARE(int(got), input);
    QCOMPARE(int(crop), isCrop);
    if (entry >= 0)
        QCOMPARE(int(u8(e)), entry);
}

void TestKraRamPara::languageChanged_data()
{
    QTest::addColumn<int>("live");
    QTest::addColumn<int>("shadow");
    QTest::addColumn<int>("offered");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("liveAfter");
    QTest::newRow("no change") << 0x0002 << 0x0002 << 0x1F << 0 << 9 << 0x0002;
    QTest::newRow("offered language") << 0x0000 << 0x0001 << 0x1F << 1 << 0 << 0x0000;
    QTest::newRow("Vietnamese") << 0x0003 << 0x0001 << 0x1F << 1 << 3 << 0x0003;
    QTest::newRow("not offered: first offered") << 0x0102 << 0x0001 << 0x03 << 1 << 0 << 0x0000;
    QTest::newRow("not offered: first offered is 3") << 0x0000 << 0x0001 << 0x18 << 1 << 3 << 0x0003;
    QTest::newRow("code above 4") << 0x0007 << 0x0001 << 0x12 << 1 << 1 << 0x0001;
}

void TestKraRamPara::languageChanged()
{
    QFETCH(int, live);
    QFETCH(int, shadow);
    QFETCH(int, offered);
    QFETCH(int, result);
    QFETCH(int, language);
    QFETCH(int, liveAfter);
    TestDevice dev;
    g_lcd_lang_valid = u8(offered);
    g_language = 9; // marks "not set"
    {
        ParaWrite w(false);
        w.set16(Para::LANGUAGE, u16(live));
    }
    wr16(para()->ram_para_bak, Para::LANGUAGE, u16(shadow));

    QCOMPARE(para()->KraLanguageChanged(), result);
    QCOMPARE(int(g_language), language);
    QCOMPARE(int(para()->live16(Para::LANGUAGE)), liveAfter);
    QCOMPARE(int(c331_manage::para_changed), 0);
    g_language = 1;
    g_lcd_lang_valid = 0x1F;
}

void TestKraRamPara::userModeSave_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("osd");
    QTest::addColumn<QString>("modeFile");
    QTest::addColumn<QString>("osdFile");
    QTest::newRow("slot 1, OSD off") << 0 << 0 << "custom_mode1" << "MO01.json";
    QTest::newRow("slot 1, OSD on") << 0 << 1 << "custom_mode1" << "MO01.json";
    QTest::newRow("slot 11, OSD on") << 10 << 1 << "custom_mode11" << "MO0b.json";
    QTest::newRow("slot 16, OSD on") << 15 << 1 << "custom_mode16" << "MO10.json";
}

void TestKraRamPara::userModeSave()
{
    QFETCH(int, slot);
    QFETCH(int, osd);
    QFETCH(QString, modeFile);
    QFETCH(QString, osdFile);
    TestDevice dev;
    const QByteArray menu("{\"name\":\"welcome\",\"osdcount\":1}");
    writeAll(kra_path(QStringLiteral("/data/configs/omenu.json")), menu);
    {
        ParaWrite w(false);
        w.set16(Para::OSD_ON, u16(osd));
        w.set16(Para::PICTURE, 77);
        w.set8(Para::IMAGE_SIZE - 1, 0x5A);
    }

    QCOMPARE(para()->user_mode_save(slot), 0);

    const QString dir = kra_path(QStringLiteral("/data/modes/"));
    const QByteArray file = readAll(dir + modeFile);
    QCOMPARE(file.size(), 4098);
    QCOMPARE(u8(file[0]), u8(0xAA));
    QCOMPARE(u8(file[1]), u8(0xAA));
    QCOMPARE(file.mid(2, 3200),
             QByteArray(reinterpret_cast<const char *>(para()->ram_para) + 896, 3200));
    QCOMPARE(para()->KraUserModeSaved(slot), 1);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(para()->user_mode[slot]), 4098), file);
    QCOMPARE(QFile::exists(dir + osdFile), osd == 1);
    if (osd == 1)
        QCOMPARE(readAll(dir + osdFile), menu);
}

void TestKraRamPara::userModeDelete()
{
    TestDevice dev;
    writeAll(kra_path(QStringLiteral("/data/configs/omenu.json")), QByteArray("{}"));
    {
        ParaWrite w(false);
        w.set16(Para::OSD_ON, 1);
    }
    QCOMPARE(para()->user_mode_save(10), 0);
    const QString dir = kra_path(QStringLiteral("/data/modes/"));
    QVERIFY(QFile::exists(dir + QStringLiteral("MO0b.json")));

    QCOMPARE(para()->mode_file_deal(10, 1), 0);

    QVERIFY(!QFile::exists(dir + QStringLiteral("custom_mode11")));
    QVERIFY(!QFile::exists(dir + QStringLiteral("MO0b.json")));
    QCOMPARE(para()->user_mode[10][0], u8(0xFF));
    QCOMPARE(para()->user_mode[10][1], u8(0xFF));
    QCOMPARE(para()->KraUserModeSaved(10), 0);
    QVERIFY(TestDevice::commands().contains(QStringLiteral("sync")));
}

QTEST_MAIN(TestKraRamPara)
#include "test_krarampara.moc"
