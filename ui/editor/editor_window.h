#pragma once

// Opens the order editor for the current hand-off values, or brings the open
// one to the front (restored when minimised) without setting it up again.
void OpenEditorWindow();
