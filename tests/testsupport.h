#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QString>
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

// Writes `text` as the typed answer of the next number-keyboard run.
void answerKeyboardWith(const QString &text);

#endif
