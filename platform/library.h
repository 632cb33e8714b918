#pragma once
// Shared libraries loaded from one given file. Paths are as the system calls
// take them (see NativePath).

#include <string>

// Loads exactly the regular file at path, never a library looked up by its
// bare name along a search path, and without waiting on a pipe or a device
// of that name. Null when it cannot be loaded.
void* LoadLibraryFile(const std::string& path);

// The address of an exported function, or null.
void* LibraryFunction(void* library, const char* name);
