// SPDX-License-Identifier: MIT
#pragma once

// The three small COM objects OLE drag and drop needs of us.

#include "Gesture.h"

#include <ole2.h>
#include <windows.h>

namespace vantorel {

class Win32Form;

// The system's drag rectangle (SM_CXDRAG by SM_CYDRAG, centred where the button went down),
// asked each time: the user may change it while the board runs.
DragDistance SystemDragDistance();

// A token's own drag as OLE reports it: the pointer's way, in screen pixels, and whether the
// buttons were let go over the board's window (rather than elsewhere, or the drag cancelled).
struct OwnDrag {
    PressTravel travel;
    bool letGoOverWindow = false;
};

// A data object holding one empty text, and nothing else.
IDataObject* CreateEmptyTextData();
// Ends the drag when every mouse button is up; Escape cancels it. Notes the drag's way, and
// where it was let go, in `drag`; `window` is the board's top-level window.
IDropSource* CreateDropSource(OwnDrag& drag, HWND window);
// The window as a drop target: takes drops on its surface, refuses them over push buttons.
IDropTarget* CreateDropTarget(Win32Form&);

} // namespace vantorel
