// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace vantorel {

// Shows the board's window at its opening size for the screen it opens on: the board at
// 1 px = 15 twips where the work area holds it with the window's frame, else fitted, with the
// title bar on the screen. Resizing and maximising are the user's from then on.
void ShowFitted(QWidget& window);

} // namespace vantorel
