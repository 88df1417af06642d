#ifndef NUMBERFIELDS_H
#define NUMBERFIELDS_H

// The number fields of one screen: a touch on a field reaches the screen's slot
// show_numberkeyboard_ui(QString), which hands the field to ask_for, and the shared number
// keyboard runs with the field's caption; the typed value reaches the screen's handler only while the field
// that asked is one of this screen's own (screens open below listen to the same keyboard
// with fields of the same names); the keyboard's field pointer is cleared with the screen.
// A field may have limits: what it stores is a decimal number in them, and a typed value
// outside them is refused (the field keeps its text).
// GUI thread only; a member of its screen.

#include "global.h"

#include <QString>
#include <climits>
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

    // A field whose keyboard caption follows the language, or stays as given; its value
    // lies in min..max.
    void add(My_lineEdit *field, const KraText &caption, int min = INT_MIN, int max = INT_MAX);
    void add(My_lineEdit *field, const QString &caption, int min = INT_MIN, int max = INT_MAX);
    bool owns(const QLineEdit *field) const;
    // True when `field` is one of the fields and `text` a number within its limits.
    bool takes(const QLineEdit *field, const QString &text) const;
    // The field's text as its number; false (and `value` untouched) when the text is not a
    // number within the field's limits.
    bool read(const QLineEdit *field, int *value) const;
    // Runs the keyboard for `sender` when it is one of the fields; anything else is ignored.
    void ask_for(QObject *sender) const;

private:
    struct Field {
        QLineEdit *field;
        const KraText *text; // null: `fixed`
        QString fixed;
        int min;
        int max;
    };
    const Field *find(const QLineEdit *field) const;
    void connectField(My_lineEdit *field);

    QWidget *screen_;
    std::vector<Field> fields_;
};

#endif
