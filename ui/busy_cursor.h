#pragma once
// The busy cursor while the one GUI thread waits on the ledger (a lock held
// by another program, a long query, a store). Shown for the lifetime of the
// object; end it before a message box, which wants the ordinary cursor.

class BusyCursor {
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Runs f with the busy cursor shown and gives back what f gives.
template <typename F>
auto WhileBusy(F&& f) {
    const BusyCursor busy;
    return f();
}
