#ifndef SYNCUPDATE_H
#define SYNCUPDATE_H

#include <QObject>

// Receiver of the parameter block's change signal and the USB watcher's signal. Lives in
// the GUI thread; both signals reach it queued. Screens are reached through the ScreenHost
// that the user interface installs, so the core never sees a widget.
class SyncUpdate : public QObject
{
    Q_OBJECT
public:
    static SyncUpdate *pInstance();

public slots:
    void para_sync(int code);

private:
    SyncUpdate() = default;
    void show_tip(int kind);
};

#endif
