#include "ui/editor/editor_window.h"

void OpenEditorWindow() {}
