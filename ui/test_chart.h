#ifndef TEST_CHART_H
#define TEST_CHART_H

#include "global.h"
#include <QDialog>

class QLabel;

namespace Ui {
class test_chart;
}

// The test pattern screen: puts one of eight patterns on the LED screen and takes it off.
// GUI thread only; it writes the low byte of the test-pattern field through the video-chip
// manager's hand-off and never reads the field back: the marking shows only what was chosen
// here since the screen opened.
class test_chart : public QDialog
{
    Q_OBJECT
public:
    static constexpr u8 kNoSelection = 102;
    static constexpr int kPatternCount = 8;

    explicit test_chart(QWidget *parent = nullptr);
    ~test_chart() override;

    void testimage_button_init();
    void para_init();
    void language_changed();
    void syncUpdate();
    u8 selection() const { return selected_; }

public slots:
    void kra_image_button_clicked();
    void on_Button_closetest_clicked();
    void on_Button_back_clicked();

private:
    QLabel *picture(int index) const;
    void show_picture(int index);
    void mark_picture(int index, bool marked);
    void choose_pattern(int index);
    void close_pattern();

    Ui::test_chart *ui;
    u8 selected_ = kNoSelection;
};

#endif
