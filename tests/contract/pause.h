// Waiting in tests by the clock, not by how long one sleep lasted.
//
// Under 32-bit Wine a std::this_thread::sleep_for in a test process has been
// seen to return at once, every time, for the whole life of the process
// (Win32's Sleep and the steady clock stayed right). A test that counts sleeps
// to measure time then gives up long before the time it meant.
#pragma once

#include <chrono>
#include <thread>

// Returns once at least `length` has passed on the steady clock.
inline void PauseFor(std::chrono::milliseconds length)
{
    auto until = std::chrono::steady_clock::now() + length;
    for (auto now = std::chrono::steady_clock::now(); now < until; now = std::chrono::steady_clock::now())
        std::this_thread::sleep_for(until - now);
}
