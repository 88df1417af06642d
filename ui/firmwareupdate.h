#ifndef FIRMWAREUPDATE_H
#define FIRMWAREUPDATE_H

#include <QWidget>

// The notice shown over everything while a USB upgrade runs. GUI thread only.
class FirmwareUpdate : public QWidget
{
    Q_OBJECT
public:
    explicit FirmwareUpdate(QWidget *parent = nullptr);
    void language_changed();
};

#endif
