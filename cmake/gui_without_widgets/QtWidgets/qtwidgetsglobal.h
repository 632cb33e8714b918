// Every Qt Widgets header starts here. Found first by the libraries that
// draw with Qt Gui but hold no window (tallovar_gui_without_widgets in
// CMakeLists.txt).
#error "Qt Widgets is not available in this library: windows belong in ui/ or app/"
