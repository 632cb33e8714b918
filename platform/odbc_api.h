#pragma once
// The ODBC API. Windows' ODBC headers need the system's basic types first.

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
