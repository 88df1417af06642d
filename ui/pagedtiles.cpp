#include "pagedtiles.h"

#include <QPushButton>

KraPagedTiles::KraPagedTiles(QWidget *parent, const QString &name, const QRect &geometry,
                             const QString &sheet, const KraTileGrid &grid, int previous_y,
                             int next_y, Hooks hooks)
    : QFrame(parent), grid_(grid), previous_y_(previous_y), next_y_(next_y), hooks_(std::move(hooks))
{
    setObjectName(name);
    setGeometry(geometry);
    setStyleSheet(sheet);
}

void KraPagedTiles::show_page(int page, int sources)
{
    const int tiles = kra_tiles_on_page(sources, page);
    for (int place = 0; place < KRA_TILES_PER_PAGE; ++place) {
        QWidget *&tile = tiles_[place];
        if (place < tiles) {
            if (!tile) {
                tile = hooks_.make(this, place);
                tile->setGeometry(grid_.rect(place));
                if (isVisible()) // else it appears along with the area, styled once
                    tile->show();
            }
            if (hooks_.fill(tile, KRA_TILES_PER_PAGE * page + place))
                continue;
        }
        kra_retire_frame(tile);
    }
    const int last = kra_last_page(sources);
    if (QPushButton *b = page_button(previous_, page != 0, QStringLiteral("Button_previous"),
                                     previous_y_, QStringLiteral(":/png/previous.png")))
        connect(b, &QPushButton::clicked, this, &KraPagedTiles::previous_clicked);
    if (QPushButton *b = page_button(next_, last > page, QStringLiteral("Button_next"), next_y_,
                                     QStringLiteral(":/png/next.png")))
        connect(b, &QPushButton::clicked, this, &KraPagedTiles::next_clicked);
}

// Makes or removes a paging button as needed; returns it when it was just made. A button
// may go from its own click, so it is retired, not deleted.
QPushButton *KraPagedTiles::page_button(QPushButton *&button, bool wanted, const QString &name,
                                        int y, const QString &icon)
{
    if (!wanted) {
        kra_retire_frame(button);
        return nullptr;
    }
    if (button)
        return nullptr;
    button = kra_icon_button(this, name, QRect(715, y, 50, 50), icon);
    if (isVisible())
        button->show();
    return button;
}
