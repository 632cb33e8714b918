#pragma once
// The SQLite library behind the ODBC driver runs inside this process; these
// are its process-wide settings.

// Call before the first connection is made; later calls do nothing. Each
// connection of the program is used by one thread at a time, so SQLite need
// not lock each connection on every call, and it keeps no memory statistics
// (which take a lock on every allocation). Both locks together were a tenth
// of a large fetch. Settings SQLite refuses (it was already started by
// someone else) leave it as it was.
void PrepareSqliteEngine();
