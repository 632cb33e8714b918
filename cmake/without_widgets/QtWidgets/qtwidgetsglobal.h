// Every Qt Widgets header starts here. Found first by the libraries that link
// Qt Core only (tallovar_without_widgets in CMakeLists.txt).
#error "Qt Widgets is not available in this library: windows belong in ui/ or app/"
