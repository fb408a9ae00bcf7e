// Makes the skin library's classes known to form resources: the buffered
// bases, the scroll bar, the panels and bars, the tab control and its
// pages, the buttons, the check boxes, radio buttons and track bars, and
// the bitmap lists.
#pragma once

void RegisterSkinClasses();
