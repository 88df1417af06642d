#ifndef IMAGELAYOUT_H
#define IMAGELAYOUT_H
#include <QDialog>
class ImageLayout : public QDialog
{
    Q_OBJECT
public:
    explicit ImageLayout(QWidget *parent = nullptr);
    void syncUpdate();
    void language_changed();
    void image_para_update();
    void image_init();
public slots:
    void on_Button_back_clicked();
};
#endif
