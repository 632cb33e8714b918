#include "platform/console_output.h"

struct Utf8ConsoleOutput::Relays {};

Utf8ConsoleOutput::Utf8ConsoleOutput() = default;

Utf8ConsoleOutput::~Utf8ConsoleOutput() = default;
