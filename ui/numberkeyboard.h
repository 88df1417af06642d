#ifndef NUMBERKEYBOARD_H
#define NUMBERKEYBOARD_H

#include <QDialog>
#include <functional>

class QLabel;

// The shared on-screen number keyboard, placed over the right part of the main window and
// run modal, raised and activated over the screen that asked. GUI thread only. OK hands the
// typed digits to every connected screen; the screen that set g_lineedit takes them.
class NumberKeyboard : public QDialog
{
    Q_OBJECT
public:
    explicit NumberKeyboard(QWidget *parent = nullptr);

    // Prepares a run: caption (18 px when it is 4 characters long, else 25 px), the field's
    // current value, typed digits cleared.
    void label_show(const QString &caption, const QString &value);
    // Runs the keyboard modally; tests replace the modal run with `runner`.
    int run();
    static std::function<void(NumberKeyboard *)> runner;

    QString typed() const { return typed_; }
    // The keys, as an operator presses them.
    void press_digit(int digit);
    void press_delete();
    void press_ok();
    void press_cancel();

signals:
    void sendKeyBoardUIDataToLineEdit(QString text);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh_display();
    QLabel *caption_;
    QLabel *display_;
    QString typed_;
    QString value_;
};

#endif
