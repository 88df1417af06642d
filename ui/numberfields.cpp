#include "numberfields.h"
#include "my_lineedit.h"
#include "numberkeyboard.h"
#include "sourcepanel.h"

KraNumberFields::KraNumberFields(QWidget *screen, Confirm confirm) : screen_(screen)
{
    if (g_numberkeyboard)
        QObject::connect(g_numberkeyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit, screen,
                         [this, confirm = std::move(confirm)](const QString &text) {
                             if (owns(g_lineedit))
                                 confirm(text);
                         });
}

KraNumberFields::~KraNumberFields()
{
    if (owns(g_lineedit))
        g_lineedit = nullptr;
}

void KraNumberFields::add(My_lineEdit *field, const KraText &caption, int min, int max)
{
    fields_.push_back({field, &caption, QString(), min, max});
    connectField(field);
}

void KraNumberFields::add(My_lineEdit *field, const QString &caption, int min, int max)
{
    fields_.push_back({field, nullptr, caption, min, max});
    connectField(field);
}

const KraNumberFields::Field *KraNumberFields::find(const QLineEdit *field) const
{
    if (!field)
        return nullptr;
    for (const Field &f : fields_)
        if (f.field == field)
            return &f;
    return nullptr;
}

bool KraNumberFields::owns(const QLineEdit *field) const
{
    return find(field) != nullptr;
}

bool KraNumberFields::takes(const QLineEdit *field, const QString &text) const
{
    const Field *f = find(field);
    if (!f)
        return false;
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok, 10);
    return ok && v >= f->min && v <= f->max;
}

bool KraNumberFields::read(const QLineEdit *field, int *value) const
{
    if (!field || !takes(field, field->text()))
        return false;
    *value = field->text().toInt();
    return true;
}

void KraNumberFields::connectField(My_lineEdit *field)
{
    QObject::connect(field, SIGNAL(send_show(QString)), screen_, SLOT(show_numberkeyboard_ui(QString)));
}

void KraNumberFields::ask_for(QObject *sender) const
{
    for (const Field &f : fields_)
        if (f.field == sender)
            kra_ask_number(f.field, f.text ? kra_text(*f.text) : f.fixed);
}
