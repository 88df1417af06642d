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

void KraNumberFields::add(My_lineEdit *field, const KraText &caption)
{
    fields_.push_back({field, &caption, QString()});
    connectField(field);
}

void KraNumberFields::add(My_lineEdit *field, const QString &caption)
{
    fields_.push_back({field, nullptr, caption});
    connectField(field);
}

bool KraNumberFields::owns(const QLineEdit *field) const
{
    if (!field)
        return false;
    for (const Field &f : fields_)
        if (f.field == field)
            return true;
    return false;
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
