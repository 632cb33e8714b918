#pragma once
// Double clicks as the designs expect them: both clicks in one window.

// From now on a double click whose first click was in another window (the
// login window that closed under the mouse, say) reaches its window as a
// plain click. Call once, after the application object exists.
void KeepDoubleClicksInOneWindow();
