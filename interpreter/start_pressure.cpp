#include "interpreter/start_pressure.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#endif

#include <cstddef>

namespace kestrel {
namespace {

// What the start maps, measured on x86-64 with Ruby 3.1: the 32 MiB transient
// heap, the first pages of the object heap, the machine and VM stacks of the
// main thread and the core's code, with room to spare.
constexpr std::size_t kStartAddressSpace = std::size_t{48} << 20;

#if defined(_WIN32)

bool AddressSpaceLeft()
{
    void* block = VirtualAlloc(nullptr, kStartAddressSpace, MEM_RESERVE, PAGE_NOACCESS);
    if (block == nullptr)
        return false;
    VirtualFree(block, 0, MEM_RELEASE);
    return true;
}

bool DescriptorsLeft()
{
    return true;
}

bool TimerLeft()
{
    return true;
}

#else

// Mapped writable but never touched: counted against the address-space and
// data limits, while no memory is used.
bool AddressSpaceLeft()
{
    void* block = mmap(nullptr, kStartAddressSpace, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (block == MAP_FAILED)
        return false;
    munmap(block, kStartAddressSpace);
    return true;
}

// The two event descriptors with which the interpreter's threads wake each
// other (measured: with one descriptor fewer, the start goes on without them,
// "scheduling broken").
bool DescriptorsLeft()
{
    constexpr int kPipes = 1;
    int ends[kPipes][2];
    int made = 0;
    while (made < kPipes && pipe(ends[made]) == 0)
        ++made;
    for (int i = 0; i < made; ++i) {
        close(ends[i][0]);
        close(ends[i][1]);
    }
    return made == kPipes;
}

// The timer with which the interpreter wakes its threads.
bool TimerLeft()
{
    struct sigevent event = {};
    event.sigev_notify = SIGEV_NONE;
    timer_t timer;
    if (timer_create(CLOCK_MONOTONIC, &event, &timer) != 0)
        return false;
    timer_delete(timer);
    return true;
}

#endif

}  // namespace

bool InterpreterCanStart()
{
    return AddressSpaceLeft() && DescriptorsLeft() && TimerLeft();
}

}  // namespace kestrel
