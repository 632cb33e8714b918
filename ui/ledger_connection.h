#pragma once
// The connection of a modeless window that keeps its own, opened when first
// needed on the ledger in use.

class DatabaseConnection;

// True when db is open or opens now; otherwise false after the user has been
// shown why.
bool ConnectedOrTold(DatabaseConnection& db);
