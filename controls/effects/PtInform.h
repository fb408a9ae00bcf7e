// Point-in-shape tests for round controls' hit testing.
#pragma once

#include <windows.h>

bool PointinEllipse(int x, int y, const RECT& rect);
bool PointinRndRect(int x, int y, int radius, const RECT& rect);
