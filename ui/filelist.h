#ifndef FILELIST_H
#define FILELIST_H

// The file list of the update, check and load-scan pages: the frame "frame_file" on a page,
// five slots a page (a label with a flat button of the slot's number over it), Previous and
// Next buttons, and one label when the list is empty. The frame and its widgets are made
// anew at every redraw; the page connects the buttons it wants. The slot labels are named
// "label_file<slot>". GUI thread only.

#include <QString>
#include <QVector>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

class KraFileList
{
public:
    static constexpr int SLOTS = 5;
    struct Entry {
        QString name; // shown as written, as plain text
        bool highlighted = false;
        bool stick = false; // a file of the USB stick where the list holds both: green
        bool rich = false;  // `name` is markup of the screen's own (the check page colours a number)
    };

    explicit KraFileList(QWidget *page) : page_(page) {}

    // Shows the entries of list page `page` (five a page), or `empty_text` when `entries` is
    // empty. Previous appears past page 0, Next before `last_page`.
    void redraw(const QVector<Entry> &entries, int page, int last_page, const QString &empty_text);

    QFrame *frame() const { return frame_; }
    // The label of slot s of the page shown, or null; the empty-list label is slot 0's.
    QLabel *slot_label(int s) const;
    QPushButton *slot_button(int s) const;
    QPushButton *previous() const { return previous_; }
    QPushButton *next() const { return next_; }

private:
    QWidget *page_;
    QFrame *frame_ = nullptr;
    QLabel *labels_[SLOTS] = {};
    QPushButton *buttons_[SLOTS] = {};
    QPushButton *previous_ = nullptr;
    QPushButton *next_ = nullptr;
};

#endif
