#include "interpreter/console_queue.h"

#include <ruby/thread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "interpreter/console_output.h"
#include "interpreter/lifecycle.h"

namespace kestrel {
namespace {

struct Entry {
    Entry* next;
    std::size_t length;
    char text[1];
};

// Guarded by g_lock. Nothing that can unwind runs while it is held.
std::mutex g_lock;
std::condition_variable g_roomMade;
Entry* g_first = nullptr;
Entry* g_last = nullptr;
std::size_t g_used = 0;
std::size_t g_dropped = 0;        // bytes of texts given up on
unsigned long g_wakeups = 0;      // counts the interpreter's requests to stop waiting
// The game's thread is in a member call. Set without the lock: every change
// is followed by a drain, which takes the lock and wakes whoever waits.
std::atomic<bool> g_gameInside{false};
// Set with g_lock held whenever there is something to write; read without
// it, so that the game's thread pays no lock when nothing waits.
std::atomic<bool> g_somethingWaits{false};

struct Wait {
    const Entry* entry;
    bool gaveUp;
};

constexpr std::chrono::seconds kGiveUpAfter(2);

bool Fits(std::size_t length)
{
    return g_used == 0 || (g_used + length <= kConsoleQueueLimit && g_used + length >= g_used);
}

bool TryAppend(Entry* entry)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (!Fits(entry->length))
        return false;
    entry->next = nullptr;
    if (g_last != nullptr)
        g_last->next = entry;
    else
        g_first = entry;
    g_last = entry;
    g_used += entry->length;
    g_somethingWaits.store(true, std::memory_order_release);
    return true;
}

// Runs without the interpreter's lock, until there may be room or the
// interpreter wants the thread back. While the game's thread is inside a member
// call it may itself be waiting for this thread (Ractor#take, Thread#join), and
// would write nothing until then: the wait is given up after kGiveUpAfter.
void* WaitForRoom(void* argument)
{
    Wait* wait = static_cast<Wait*>(argument);
    std::unique_lock<std::mutex> hold(g_lock);
    unsigned long wakeups = g_wakeups;
    auto roomOrWakeup = [&] { return Fits(wait->entry->length) || g_wakeups != wakeups; };
    if (!g_gameInside.load(std::memory_order_acquire))
        g_roomMade.wait(hold, roomOrWakeup);
    else if (!g_roomMade.wait_for(hold, kGiveUpAfter, roomOrWakeup))
        wait->gaveUp = true;
    if (wait->gaveUp) {
        g_dropped += wait->entry->length;
        g_somethingWaits.store(true, std::memory_order_release);
    }
    return nullptr;
}

void StopWaiting(void*)
{
    std::lock_guard<std::mutex> hold(g_lock);
    ++g_wakeups;
    g_roomMade.notify_all();
}

VALUE CheckInterrupts(VALUE)
{
    rb_thread_check_ints();
    return Qnil;
}

void NoteDropped(std::size_t length)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_dropped += length;
    g_somethingWaits.store(true, std::memory_order_release);
}

}  // namespace

void QueueConsoleText(VALUE text)
{
    std::size_t length = static_cast<std::size_t>(RSTRING_LEN(text));
    Entry* entry = static_cast<Entry*>(std::malloc(offsetof(Entry, text) + length + 1));
    if (entry == nullptr) {
        NoteDropped(length);
        return;
    }
    entry->length = length;
    std::memcpy(entry->text, RSTRING_PTR(text), length);
    while (!TryAppend(entry)) {
        Wait wait = {entry, false};
        rb_thread_call_without_gvl(WaitForRoom, &wait, StopWaiting, nullptr);
        if (wait.gaveUp) {
            std::free(entry);
            return;
        }
        int state = 0;
        rb_protect(CheckInterrupts, Qnil, &state);
        if (state != 0) {
            std::free(entry);
            rb_jump_tag(state);
        }
    }
}

void ConsoleQueueGameInside(bool inside)
{
    g_gameInside.store(inside, std::memory_order_release);
}

void DrainConsoleQueue()
{
    if (!g_somethingWaits.load(std::memory_order_acquire) || !OnInterpreterThread())
        return;
    Entry* entry = nullptr;
    std::size_t dropped = 0;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (g_first == nullptr && g_dropped == 0)
            return;
        entry = g_first;
        dropped = g_dropped;
        g_first = g_last = nullptr;
        g_used = g_dropped = 0;
        g_somethingWaits.store(false, std::memory_order_relaxed);
        g_roomMade.notify_all();
    }
    while (entry != nullptr) {
        Entry* next = entry->next;
        WriteConsoleText(entry->text, entry->length);
        std::free(entry);
        entry = next;
    }
    if (dropped != 0) {
        char count[32];
        std::snprintf(count, sizeof count, "%lu", static_cast<unsigned long>(dropped));
        WriteErrorLine("", count, std::strlen(count),
                       " bytes given to puts on other threads were dropped: the queue stayed full"
                       " while the game's thread waited, or memory ran out");
    }
}

}  // namespace kestrel
