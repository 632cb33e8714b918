#pragma once
// The arguments a program was started with, after its own name, as UTF-8,
// as the maintenance tool takes every text it is given.

#include <string>
#include <vector>

// On Linux argv as it is. On Windows the C runtime hands main its arguments
// in the ANSI code page (GBK on a Chinese Windows), which cannot hold every
// character and is not UTF-8: there they are read from the wide command line.
std::vector<std::string> ProgramArguments(int argc, char** argv);
