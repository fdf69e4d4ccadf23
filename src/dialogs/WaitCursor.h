#pragma once
// The wait cursor around long operations (loads, saves, shell launches).
// Calls nest: the first BeginWait remembers the cursor shown and shows the
// wait cursor over the whole application; the EndWait that brings the count
// back to 0 restores the remembered cursor. Without a GUI application (a
// plain QCoreApplication, or none) only the count is kept.

// Shows the wait cursor (the first call of a nesting).
void BeginWait();

// Ends one BeginWait; the last one restores the cursor. An EndWait without a
// BeginWait does nothing.
void EndWait();

// How many BeginWait calls are waiting for their EndWait.
[[nodiscard]] int WaitDepth();

// Begins a wait for the lifetime of the object, so that the cursor comes
// back also when the work in between raises.
class TWaitScope
{
public:
    TWaitScope() { BeginWait(); }
    ~TWaitScope() { EndWait(); }
    TWaitScope(const TWaitScope &) = delete;
    TWaitScope &operator=(const TWaitScope &) = delete;
};
