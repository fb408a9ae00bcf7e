// Plane geometry shared by the skin library's drawing and its utilities.
#pragma once

#include <windows.h>

// Whether p lies inside the polygon of points[0..high], decided as the
// platform's polygon regions decide it (winding fill mode).
bool PointInPolygon(POINT p, const POINT* points, int high);
