#ifndef SYNCUPDATE_H
#define SYNCUPDATE_H

#include <QObject>
#include <functional>

// Receiver of the parameter block's change signal and the USB watcher's signal. Lives in
// the GUI thread; both signals reach it queued. Screens are reached through handlers that
// the user interface registers per focused-screen id, so the core never sees a widget.
class SyncUpdate : public QObject
{
    Q_OBJECT
public:
    static SyncUpdate *pInstance();

    using PageHandler = std::function<void(int code)>;
    using TipHandler = std::function<void(int kind)>;
    // The refresh of page `page`; the handler itself must check that its screen exists.
    static void set_page_handler(int page, PageHandler handler);
    static void set_tip_handler(TipHandler handler);

public slots:
    void para_sync(int code);

private:
    SyncUpdate() = default;
    void show_tip(int kind);
};

#endif
