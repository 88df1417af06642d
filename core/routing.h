#ifndef ROUTING_H
#define ROUTING_H

// The order in which the cabinets of one net port are chained, by routing pattern 1..16.
// The smart-mapping job places the cards by it and the icon painter draws line1..line16
// from it, so the pictures an operator chooses from show what the job does.
// k = pattern - 1: the start corner is k % 4 (top left, top right, bottom left, bottom
// right); k / 4 is the chaining: 0 row by row turning back at each row's end (serpentine),
// 1 column by column serpentine, 2 row by row every row from the same side, 3 column by
// column every column from the same side.

struct KraCell {
    int column;
    int row;
};

// True for the patterns the job places cards by (1..16).
constexpr bool kra_routing_valid(int pattern) { return pattern >= 1 && pattern <= 16; }
// True when each line turns back at its end; otherwise the cable runs back to the start
// of the next line.
constexpr bool kra_routing_serpentine(int pattern) { return (pattern - 1) / 4 < 2; }
// The cell of the `index`th card (0-based) of a grid of `rows` x `columns` chained by
// `pattern` (valid); index below rows * columns.
KraCell kra_routing_cell(int pattern, int rows, int columns, int index);

#endif
