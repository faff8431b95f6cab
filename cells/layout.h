#pragma once
// Where a cell stands: the squares and ports of its layout in its own frame,
// and the one turn-and-mirror transform that puts that frame on the grid.
// Placement, the grid rectangle, the analysis marks and links, the port under
// the mouse, the port stubs of the symbols and the mirror all go through it.
//
// The cell's frame: x to the right, y downwards, square (0, 0) at the anchor
// (Column, Row). On the grid the frame is first mirrored (x to -x) when the
// cell is mirrored, then turned clockwise by its quarter turns.
#include <cstdint>
#include <vector>

// A side of a square, numbered clockwise from the top as the grid analysis
// numbers the sides it waits on.
enum class TSide : uint8_t { Top = 0, Right = 1, Bottom = 2, Left = 3 };

constexpr int32_t SideNumber(TSide side) { return static_cast<int32_t>(side); }
// Any integer, taken modulo 4.
constexpr TSide SideOf(int32_t number) { return static_cast<TSide>(((number % 4) + 4) % 4); }
constexpr TSide Opposite(TSide side) { return SideOf(SideNumber(side) + 2); }

// The square across a side of (column, row).
void StepAcross(TSide side, int32_t& column, int32_t& row);

// A direction of travel from square to square, numbered as the walks along a
// cable number them: 0 down (row + 1), 1 left, 2 up, 3 right. A step leaves
// its square across one side and enters the next square across the
// opposite one, the side of the same number as the direction.
enum class TDirection : uint8_t { Down = 0, Left = 1, Up = 2, Right = 3 };

constexpr int32_t DirectionNumber(TDirection direction) { return static_cast<int32_t>(direction); }
// Any integer, taken modulo 4.
constexpr TDirection DirectionOf(int32_t number) { return static_cast<TDirection>(((number % 4) + 4) % 4); }
constexpr TDirection Reverse(TDirection direction) { return DirectionOf(DirectionNumber(direction) + 2); }
constexpr bool IsVertical(TDirection direction) {
    return direction == TDirection::Down || direction == TDirection::Up;
}
// The side a step in a direction leaves its square across, and the side it
// enters the next square across.
constexpr TSide ExitSide(TDirection direction) { return SideOf(DirectionNumber(direction) + 2); }
constexpr TSide EntrySide(TDirection direction) { return SideOf(DirectionNumber(direction)); }
// The direction that leaves a square across a side, and the one that enters
// a square across it.
constexpr TDirection Leaving(TSide side) { return DirectionOf(SideNumber(side) + 2); }
constexpr TDirection Entering(TSide side) { return DirectionOf(SideNumber(side)); }

// The next square in a direction from (column, row).
inline void StepTowards(TDirection direction, int32_t& column, int32_t& row) {
    StepAcross(ExitSide(direction), column, row);
}

// A matrix input (switches) is an input at a side edge that feeds the user
// output of its own row only.
enum class TPortKind : uint8_t { Input, Through, Tap, MatrixInput };

// One port: its kind, its index among the ports of that kind (a tap output
// counts from the first tap output), the square of the layout it sits on and
// the side of that square the line crosses.
struct TCellPort {
    TPortKind Kind = TPortKind::Input;
    int32_t Index = 0;
    int32_t X = 0;
    int32_t Y = 0;
    TSide Side = TSide::Top;
    bool operator==(const TCellPort&) const = default;
};

// The squares a cell covers, (Left, Top) to (Left + Width - 1, Top + Height - 1)
// of its frame, and its ports.
struct TCellLayout {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 1;
    int32_t Height = 1;
    std::vector<TCellPort> Ports;
};

// The turn and mirror of a cell.
struct TTurnMirror {
    int32_t Turn = 0;       // clockwise quarter turns, 0-3
    bool Mirrored = false;  // x to -x before the turn

    static TTurnMirror Of(int32_t orientation, int32_t mirrored) {
        return TTurnMirror{((orientation % 4) + 4) % 4, mirrored != 0};
    }

    // An offset of the cell's frame to an offset on the grid, and back.
    void Apply(int32_t& dx, int32_t& dy) const;
    void Undo(int32_t& dx, int32_t& dy) const;
    // A side of the cell's frame to a side on the grid, and back.
    TSide Apply(TSide side) const;
    TSide Undo(TSide side) const;
    // A direction of the cell's frame to a direction on the grid.
    TDirection Apply(TDirection direction) const { return Leaving(Apply(ExitSide(direction))); }
    // A point of a w x h box of the cell's frame to the point of the turned
    // box on the grid (h x w on odd turns), and back.
    void ApplyInBox(int32_t& x, int32_t& y, int32_t w, int32_t h) const;
    void UndoInBox(int32_t& x, int32_t& y, int32_t w, int32_t h) const;
};
