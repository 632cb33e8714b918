/* driver_probe.exe DLL LEDGER QUERY: loads the SQLite ODBC driver DLL itself
 * (Wine never loads a Windows ODBC driver through its odbc32), connects to
 * the ledger through the driver's own SQLDriverConnectW with the keys the
 * program gives it, runs the query and prints each row's columns joined by
 * '|', UTF-8, one row a line. Exit code 0 when all went through. Paths and
 * the query come as wide texts from the command line. */
#include <windows.h>
#include <sql.h>
#include <sqlext.h>
#include <stdio.h>
#include <wchar.h>

typedef SQLRETURN(SQL_API* AllocHandle)(SQLSMALLINT, SQLHANDLE, SQLHANDLE*);
typedef SQLRETURN(SQL_API* SetEnvAttr)(SQLHENV, SQLINTEGER, SQLPOINTER, SQLINTEGER);
typedef SQLRETURN(SQL_API* DriverConnectW)(SQLHDBC, SQLHWND, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*,
                                           SQLSMALLINT, SQLSMALLINT*, SQLUSMALLINT);
typedef SQLRETURN(SQL_API* ExecDirectW)(SQLHSTMT, SQLWCHAR*, SQLINTEGER);
typedef SQLRETURN(SQL_API* NumResultCols)(SQLHSTMT, SQLSMALLINT*);
typedef SQLRETURN(SQL_API* Fetch)(SQLHSTMT);
typedef SQLRETURN(SQL_API* GetDiagRecW)(SQLSMALLINT, SQLHANDLE, SQLSMALLINT, SQLWCHAR*, SQLINTEGER*,
                                        SQLWCHAR*, SQLSMALLINT, SQLSMALLINT*);
typedef SQLRETURN(SQL_API* GetData)(SQLHSTMT, SQLUSMALLINT, SQLSMALLINT, SQLPOINTER, SQLLEN,
                                    SQLLEN*);

static GetDiagRecW diagnostic;

/* The driver's first diagnostic of a handle, to standard error. */
static void Explain(const char* what, SQLSMALLINT type, SQLHANDLE handle) {
    SQLWCHAR state[6] = {0}, message[512] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (diagnostic) diagnostic(type, handle, 1, state, &native, message, 512, &length);
    fprintf(stderr, "%s failed: %ls %ls\n", what, (wchar_t*)state, (wchar_t*)message);
}

static FARPROC Need(HMODULE dll, const char* name) {
    FARPROC f = GetProcAddress(dll, name);
    if (!f) fprintf(stderr, "no %s exported\n", name);
    return f;
}

int main(void) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc != 4) {
        fprintf(stderr, "usage: driver_probe DLL LEDGER QUERY\n");
        return 2;
    }
    HMODULE dll = LoadLibraryW(argv[1]);
    if (!dll) {
        fprintf(stderr, "LoadLibrary failed: %lu\n", GetLastError());
        return 1;
    }
    AllocHandle alloc = (AllocHandle)Need(dll, "SQLAllocHandle");
    SetEnvAttr setEnv = (SetEnvAttr)Need(dll, "SQLSetEnvAttr");
    DriverConnectW connect = (DriverConnectW)Need(dll, "SQLDriverConnectW");
    ExecDirectW exec = (ExecDirectW)Need(dll, "SQLExecDirectW");
    NumResultCols columns = (NumResultCols)Need(dll, "SQLNumResultCols");
    Fetch fetch = (Fetch)Need(dll, "SQLFetch");
    GetData getData = (GetData)Need(dll, "SQLGetData");
    diagnostic = (GetDiagRecW)Need(dll, "SQLGetDiagRecW");
    if (!alloc || !setEnv || !connect || !exec || !columns || !fetch || !getData) return 1;

    SQLHENV env;
    SQLHDBC dbc;
    SQLHSTMT stmt;
    if (!SQL_SUCCEEDED(alloc(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return 1;
    setEnv(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
    if (!SQL_SUCCEEDED(alloc(SQL_HANDLE_DBC, env, &dbc))) return 1;
    wchar_t text[2048];
    _snwprintf(text, 2048, L"Database=%ls;NoCreat=1;Timeout=2500;SyncPragma=EXTRA;StepAPI=1;",
               argv[2]);
    SQLSMALLINT outLength = 0;
    if (!SQL_SUCCEEDED(connect(dbc, NULL, (SQLWCHAR*)text, SQL_NTS, NULL, 0, &outLength,
                               SQL_DRIVER_NOPROMPT))) {
        Explain("SQLDriverConnectW", SQL_HANDLE_DBC, dbc);
        return 1;
    }
    if (!SQL_SUCCEEDED(alloc(SQL_HANDLE_STMT, dbc, &stmt))) return 1;
    if (!SQL_SUCCEEDED(exec(stmt, (SQLWCHAR*)argv[3], SQL_NTS))) {
        Explain("SQLExecDirectW", SQL_HANDLE_STMT, stmt);
        return 1;
    }
    SQLSMALLINT count = 0;
    columns(stmt, &count);
    while (SQL_SUCCEEDED(fetch(stmt))) {
        for (SQLUSMALLINT c = 1; c <= count; ++c) {
            wchar_t cell[1024];
            SQLLEN got = 0;
            cell[0] = 0;
            getData(stmt, c, SQL_C_WCHAR, cell, sizeof cell, &got);
            char utf8[4096];
            int n = WideCharToMultiByte(CP_UTF8, 0, cell, -1, utf8, sizeof utf8, NULL, NULL);
            fwrite(utf8, 1, n > 0 ? (size_t)n - 1 : 0, stdout);
            if (c < count) fputc('|', stdout);
        }
        fputc('\n', stdout);
    }
    return 0;
}
