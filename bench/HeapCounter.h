// Counts the heap the plug-in uses while the benchmark host has handed it control: every
// malloc, calloc, realloc and operator new of this process is seen, and those made while
// counting is on add to the live total and its peak.
#pragma once

#include <cstddef>

// Starts a measurement: the peak goes back to what is live now.
void StartHeapCount();
// Stops counting and returns the highest number of bytes that were live at once beyond
// those live when the count started.
std::size_t StopHeapCount();

// Turns counting off for the host's own work inside a plug-in call (a callback), and back on.
class CHostCallScope {
public:
    CHostCallScope();
    ~CHostCallScope();
    CHostCallScope(const CHostCallScope&) = delete;
    CHostCallScope& operator=(const CHostCallScope&) = delete;

private:
    bool m_wasCounting;
};
