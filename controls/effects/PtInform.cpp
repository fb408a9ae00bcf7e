#include "PtInform.h"

#include <cstdlib>

bool PointinEllipse(int x, int y, const RECT& rect)
{
    int a = (rect.right - rect.left) / 2, b = (rect.bottom - rect.top) / 2;
    int cx = rect.left + a, cy = rect.top + b;
    if (a == 0) a = 1;
    if (b == 0) b = 1;
    double dx = double(std::abs(x - cx)) / a, dy = double(std::abs(y - cy)) / b;
    return dx * dx + dy * dy <= 1.0;
}

bool PointinRndRect(int x, int y, int radius, const RECT& rect)
{
    POINT p{x, y};
    RECT wide{rect.left + radius, rect.top, rect.right - radius, rect.bottom};
    if (PtInRect(&wide, p)) return true;
    RECT tall{rect.left, rect.top + radius, rect.right, rect.bottom - radius};
    if (!IsRectEmpty(&tall) && PtInRect(&tall, p)) return true;
    // The corner circles; a point exactly on the radius is inside.
    const POINT centres[4] = {{rect.left + radius, rect.top + radius},
                              {rect.left + radius, rect.bottom - radius},
                              {rect.right - radius, rect.bottom - radius},
                              {rect.right - radius, rect.top + radius}};
    for (const POINT& c : centres) {
        long dx = x - c.x, dy = y - c.y;
        if (dx * dx + dy * dy <= long(radius) * radius) return true;
    }
    return false;
}
