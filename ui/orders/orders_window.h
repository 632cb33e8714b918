#pragma once

// Opens the main window "订单管理" (modeless, no owner).
void OpenMainWindow();
