#include "SkinGeometry.h"

bool PointInPolygon(POINT p, const POINT* points, int high)
{
    if (!points || high < 0) return false;
    HRGN region = CreatePolygonRgn(points, high + 1, WINDING);
    if (!region) return false;
    bool inside = PtInRegion(region, p.x, p.y) != FALSE;
    DeleteObject(region);
    return inside;
}
