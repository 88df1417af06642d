#ifndef PAGEDTILES_H
#define PAGEDTILES_H

// The source tile area of the input selection and crop editor screens: six tiles to a page
// on a grid, the previous and next buttons at x 715. Tiles are made once and kept; a page
// step fills them again in place and puts the previous and next buttons only where they
// lead somewhere, so nothing is restyled. A place without a source on the page has no
// tile. The area is styled by the one sheet the screen gives it. GUI thread only.

#include "sourcepanel.h"

#include <QFrame>
#include <functional>

class QPushButton;

class KraPagedTiles : public QFrame
{
    Q_OBJECT
public:
    struct Hooks {
        // Builds a tile (the area places it); connect its button here.
        std::function<QWidget *(QWidget *area, int place)> make;
        // Shows source n on the tile; false when source n has nothing to show.
        std::function<bool(QWidget *tile, int n)> fill;
    };
    KraPagedTiles(QWidget *parent, const QString &name, const QRect &geometry, const QString &sheet,
                  const KraTileGrid &grid, int previous_y, int next_y, Hooks hooks);

    // Shows `page` of an input with `sources` sources.
    void show_page(int page, int sources);

signals:
    void previous_clicked();
    void next_clicked();

private:
    QPushButton *page_button(QPushButton *&button, bool wanted, const QString &name, int y,
                             const QString &icon);

    KraTileGrid grid_;
    int previous_y_;
    int next_y_;
    Hooks hooks_;
    QWidget *tiles_[KRA_TILES_PER_PAGE] = {};
    QPushButton *previous_ = nullptr;
    QPushButton *next_ = nullptr;
};

#endif
