#ifndef SCREENHOST_H
#define SCREENHOST_H

// What the core and the managers need of the screens, implemented by the user interface and
// installed once at start-up (tests may install their own). The core never sees a widget.
// What the command protocol's file handler reports about a receiving-card parameter file.
enum class ProtocolFile { Received, Deleted, TransferEnded };

class ScreenHost
{
public:
    virtual ~ScreenHost() = default;

    // The installed host, nullptr before start-up (the calls below are then skipped).
    static ScreenHost *instance();
    static void install(ScreenHost *host);

    // GUI thread. Refreshes the screen of `page` after change `code`; false when that page
    // has no refresh of its own.
    virtual bool refresh(int page, int code) = 0;
    virtual void show_tip(int kind) = 0;
    // Idle time-out: closes the screen on top; false when it stays (or nothing is open).
    virtual bool close_top() = 0;
    // Shows the home status screen over everything.
    virtual void lock() = 0;
    // True while the firmware-update notice is shown.
    virtual bool update_shown() const = 0;

    // Any thread (the FPGA manager's): must hand widget work to the GUI thread.
    virtual void job_progress(int sink, int percent) = 0;
    virtual void update_notice(bool shown) = 0;
    // A file event of the command protocol (`kind`: the file kind of a transfer). Carried
    // into the GUI thread; there the screen on top decides what follows.
    virtual void protocol_file(ProtocolFile event, int kind) = 0;
};

#endif
