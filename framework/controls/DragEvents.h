// The drag-and-drop events that controls publish. The framework starts no
// drags itself; the events are there so that form resources may bind
// handlers to them and a program may raise them.
#pragma once

#include "Event.h"

class TObject;

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// Something dragged from source was dropped at (x, y) of the sender.
using TDragDropEvent = TEvent<void(TObject* sender, TObject* source, int x, int y)>;
// Something dragged from source is over (x, y) of the sender; the handler
// says whether it would take it.
using TDragOverEvent = TEvent<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
// A drag from the sender ended over target (null: nowhere) at (x, y).
using TEndDragEvent = TEvent<void(TObject* sender, TObject* target, int x, int y)>;
