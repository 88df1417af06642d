#ifndef OPTION_H
#define OPTION_H

#include <QDialog>

class QLabel;

// The settings menu: one entry per settings screen; entries of screens this build does not
// have are disabled. GUI thread only.
class Option : public QDialog
{
    Q_OBJECT
public:
    explicit Option(QWidget *parent = nullptr);
    void language_changed();

public slots:
    void on_Button_back_clicked();
    void on_image_layout_clicked();
    void on_image_quality_clicked();
    void on_test_chart_clicked();
    void on_input_cut_clicked();
    void on_output_set_clicked();
    void on_link_set_clicked();
    void on_AdvanceButton_clicked();
    void on_smart_mapping_clicked();

private:
    QLabel *label_title_;
};

#endif
