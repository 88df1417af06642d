#include "routing.h"

KraCell kra_routing_cell(int pattern, int rows, int columns, int index)
{
    const int k = pattern - 1;
    const bool right = k % 2 == 1, bottom = (k % 4) >= 2;
    const bool byColumns = (k / 4) % 2 == 1;
    const int lineLength = byColumns ? rows : columns;
    if (lineLength <= 0)
        return {0, 0};
    const int line = index / lineLength;
    int along = index % lineLength;
    if (kra_routing_serpentine(pattern) && line % 2 == 1)
        along = lineLength - 1 - along;
    KraCell c{byColumns ? line : along, byColumns ? along : line};
    if (right)
        c.column = columns - 1 - c.column;
    if (bottom)
        c.row = rows - 1 - c.row;
    return c;
}
