// SPDX-License-Identifier: MIT
#pragma once

// The three small COM objects OLE drag and drop needs of us.

#include <ole2.h>
#include <windows.h>

namespace vantorel {

class Win32Form;

// A data object holding one empty text, and nothing else.
IDataObject* CreateEmptyTextData();
// Ends the drag when every mouse button is up; Escape cancels it.
IDropSource* CreateDropSource();
// The window as a drop target: takes drops on its surface, refuses them over push buttons.
IDropTarget* CreateDropTarget(Win32Form&);

} // namespace vantorel
