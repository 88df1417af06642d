#ifndef MY_LINEEDIT_H
#define MY_LINEEDIT_H

#include <QLineEdit>

// Numeric field of the forms: a press on an enabled field asks for the number keyboard.
class My_lineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit My_lineEdit(QWidget *parent = nullptr);

signals:
    void send_show(QString text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

#endif
