#pragma once
// Reading a file through a memory map while another program may cut it
// short. A mapped page that lies beyond the end of the file as it now is
// cannot be read: the system stops the reader with a bus error. While a
// MappedReads object lives (on any thread), such a page is instead replaced by
// a page of zeros and the read goes on, so the reader meets a damaged file
// rather than the end of the program. Nothing else changes: a bus error of
// another kind, or at another time, ends the program as before.

// True once reads are guarded so; false where the system offers no way, and
// a caller then reads without a map.
bool CanGuardMappedReads();

class MappedReads {
  public:
    MappedReads();
    ~MappedReads();
    MappedReads(const MappedReads&) = delete;
    MappedReads& operator=(const MappedReads&) = delete;
};
