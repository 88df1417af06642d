#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include "global.h"
#include "screens.h"
#include <QDialog>
#include <QEvent>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A fresh device for one test: an empty data root in a temporary folder, the parameter
// block at its defaults (live and shadow), no user modes, the video-chip manager without
// its thread, the shared keyboard and tip, and the screens registered with the core.
class TestDevice
{
public:
    TestDevice();
    ~TestDevice();
    QString root() const { return dir_->path(); }
    // Runs the video-chip manager's pass and delivers the change signal, as the threads
    // and the event loop would.
    static void settle();
    // The commands run since the device was made (host command log).
    static QStringList commands();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

// The warnings (and worse) that Qt printed since the last call; every test program
// collects them from its start, and they are still printed.
QStringList takeWarnings();
// Only those that name an auto-connected slot without its widget.
QStringList unhookedSlots(const QStringList &warnings);

// A fresh device with screens under test: each built through the screens table as its
// opener builds it (into its global, its page focused). Every screen still open, and the
// keyboard's field pointer, go with the fixture.
class ScreenFixture : public TestDevice
{
public:
    ~ScreenFixture();
    template <typename Screen>
    Screen *open(Page::Id page)
    {
        takeWarnings();
        Screen *screen = qobject_cast<Screen *>(kra_construct_screen(page));
        build_warnings_ = takeWarnings();
        g_page_focus = page;
        return screen;
    }
    // What Qt warned while the last screen was built: an auto-connected slot whose widget
    // was renamed shows up here.
    QStringList buildWarnings() const { return build_warnings_; }

private:
    QStringList build_warnings_;
};

// Writes `text` as the typed answer of the next number-keyboard run.
void answerKeyboardWith(const QString &text);

// The widget `name` under `parent`; a missing one ends the test program (a renamed widget).
template <typename T = QPushButton> T *need(const QObject *parent, const QString &name)
{
    T *w = parent->findChild<T *>(name);
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}

// Writes `bytes` at the absolute `path`, making its folders.
void putFile(const QString &path, const QByteArray &bytes = QByteArray(200, 'k'));
// The whole file at `path`, or "<missing>".
QByteArray readBytes(const QString &path);
// The file names of `paths`, in their order or sorted.
QStringList fileNamesOf(const QStringList &paths, bool sorted = false);
// Runs the FPGA manager's passes until its job ends, then delivers what it posted.
void runFpgaJob();
// Runs the FPGA manager's passes until the USB upgrade ends.
void runUsbUpgrade();
// An empty ageing log with its band counters cleared.
void clearAgeLog();

// Installed on a window, counts how often it was raised (without a window manager only a
// raise lifts a window above those shown after it).
struct RaiseCounter : QObject {
    int n = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        n += e->type() == QEvent::ZOrderChange;
        return false;
    }
};

#endif
