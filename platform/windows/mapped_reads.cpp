#include "platform/mapped_reads.h"

// Windows gives a mapped read of a cut file no way to go on; the ledger is
// read without a map there.
bool CanGuardMappedReads() { return false; }

MappedReads::MappedReads() = default;

MappedReads::~MappedReads() = default;
