// Right-to-left reading and alignment: a control's BiDiMode and whether the
// system's locale is one that reads right to left at all.
#pragma once

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// The user's default locale is Arabic, Hebrew, Persian, Urdu or another
// right-to-left language; otherwise every BiDiMode reads left to right.
bool SysLocaleMiddleEast();
