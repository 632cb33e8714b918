#pragma once
// tallovar-admin import through a column mapping (mapped_import_command.cpp).

#include "tools/command_line.h"

// Runs the import when the options or the sheet's header call for a mapping
// (handled true), else leaves the sheet to the plain import (handled false).
int RunMappedImport(const CommandLine& line, bool& handled);
