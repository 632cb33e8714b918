#include "ui/login/login_window.h"

void OpenLoginWindow() {}
