// SPDX-License-Identifier: MIT
#pragma once

// The three small COM objects OLE drag and drop needs of us.

#include <ole2.h>
#include <windows.h>

namespace vantorel {

class Win32Form;

// How far the pointer has gone since a press: the press stays a click while the pointer keeps
// within the system's drag rectangle (SM_CXDRAG by SM_CYDRAG, centred where it went down).
struct PressTravel {
    POINT from {};
    bool dragged = false;
    void MoveTo(POINT);
};

// A data object holding one empty text, and nothing else.
IDataObject* CreateEmptyTextData();
// Ends the drag when every mouse button is up; Escape cancels it. The pointer's way goes into
// `travel`, and a cancel counts as a drag: it is no click.
IDropSource* CreateDropSource(PressTravel& travel);
// The window as a drop target: takes drops on its surface, refuses them over push buttons.
IDropTarget* CreateDropTarget(Win32Form&);

} // namespace vantorel
