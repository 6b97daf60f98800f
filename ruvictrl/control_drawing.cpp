#include "control_drawing.h"

namespace {

// Selects a stock object for the lifetime of the guard. Stock objects are
// never deleted, so the guard only puts the previous object back.
class StockSelection {
public:
    StockSelection(HDC dc, int stockObject)
        : dc_(dc), previous_(SelectObject(dc, GetStockObject(stockObject))) {}
    ~StockSelection() { SelectObject(dc_, previous_); }
    StockSelection(const StockSelection&) = delete;
    StockSelection& operator=(const StockSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace

void DrawControl(HDC dc, const RECT& bounds) {
    FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    // The container's device context may hold any pen and brush.
    StockSelection pen(dc, BLACK_PEN);
    StockSelection brush(dc, WHITE_BRUSH);
    Ellipse(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
}
