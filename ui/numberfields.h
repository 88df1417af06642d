#ifndef NUMBERFIELDS_H
#define NUMBERFIELDS_H

// The number fields of one screen: a touch on a field reaches the screen's slot
// show_numberkeyboard_ui(QString), which hands the field to ask_for, and the shared number
// keyboard runs with the field's caption; the typed value reaches the screen's handler only while the field
// that asked is one of this screen's own (screens open below listen to the same keyboard
// with fields of the same names); the keyboard's field pointer is cleared with the screen.
// GUI thread only; a member of its screen.

#include "global.h"

#include <QString>
#include <functional>
#include <vector>

class My_lineEdit;
class QLineEdit;
class QObject;
class QWidget;

class KraNumberFields
{
public:
    using Confirm = std::function<void(const QString &text)>;

    // `screen` is the context of the connections; `confirm` receives values typed for the
    // screen's own fields.
    KraNumberFields(QWidget *screen, Confirm confirm);
    ~KraNumberFields();
    KraNumberFields(const KraNumberFields &) = delete;
    KraNumberFields &operator=(const KraNumberFields &) = delete;

    // A field whose keyboard caption follows the language, or stays as given.
    void add(My_lineEdit *field, const KraText &caption);
    void add(My_lineEdit *field, const QString &caption);
    bool owns(const QLineEdit *field) const;
    // Runs the keyboard for `sender` when it is one of the fields; anything else is ignored.
    void ask_for(QObject *sender) const;

private:
    struct Field {
        QLineEdit *field;
        const KraText *text; // null: `fixed`
        QString fixed;
    };
    void connectField(My_lineEdit *field);

    QWidget *screen_;
    std::vector<Field> fields_;
};

#endif
