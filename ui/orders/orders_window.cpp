#include "ui/orders/orders_window.h"

void OpenMainWindow() {}
