#pragma once
// The ODBC API. Windows' ODBC headers need the system's basic types first,
// and the ANSI functions are wanted there even in a build that defines
// UNICODE (Qt's does): texts go to the driver as the designed program sent
// them, in the ANSI code page (GBK).

#ifdef _WIN32
#include <windows.h>
#undef UNICODE
#endif
#include <sql.h>
#include <sqlext.h>
