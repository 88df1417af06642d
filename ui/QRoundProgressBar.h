#ifndef QROUNDPROGRESSBAR_H
#define QROUNDPROGRESSBAR_H

#include <QWidget>

class QDialog;

// Round percentage shown over a screen while a long FPGA job runs. GUI thread only; the
// job's progress reaches para_sync queued from the FPGA thread.
class QRoundProgressBar : public QWidget
{
    Q_OBJECT
public:
    // Creates the bar over `parent` (200 x 200 at 300, 140, value 0) unless one exists.
    static void create_qround_bar(QDialog *parent);
    ~QRoundProgressBar() override;
    int value() const { return value_; }

public slots:
    void para_sync(int percent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    explicit QRoundProgressBar(QWidget *parent);
    int value_ = 0;
};

#endif
