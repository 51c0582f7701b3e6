#include "interpreter/console_output.h"

#include <cstring>

#include "contract/host_interface.h"
#include "interpreter/console_queue.h"

namespace kestrel {
namespace {

// Well inside any console buffer we know of; the stand-in's holds 4,095 bytes.
constexpr std::size_t kPieceSize = 1024;
constexpr std::size_t kSearchSize = 8 * kPieceSize;

void WritePiece(const char* text, std::size_t length)
{
    Msg("%.*s", static_cast<int>(length), text);
}

}  // namespace

// The text is searched for a NUL a few pieces at a time, just before they are
// written, while the console is about to read them from the nearest cache,
// rather than whole first: a long text would be read from memory twice. The
// pieces are the same.
void WriteConsoleText(const char* text, std::size_t length)
{
    for (std::size_t done = 0; done < length; done += kSearchSize) {
        std::size_t rest = length - done;
        std::size_t size = rest < kSearchSize ? rest : kSearchSize;
        const void* nul = std::memchr(text + done, '\0', size);
        if (nul != nullptr)
            size = static_cast<std::size_t>(static_cast<const char*>(nul) - (text + done));
        for (std::size_t piece = 0; piece < size; piece += kPieceSize) {
            std::size_t left = size - piece;
            WritePiece(text + done + piece, left < kPieceSize ? left : kPieceSize);
        }
        if (nul != nullptr)
            return;
    }
}

void WriteErrorLine(const char* lead, const char* detail, std::size_t detailLength,
                    const char* trail)
{
    DrainConsoleQueue();  // what other threads wrote before comes first
    std::size_t leadLength = std::strlen(lead);
    std::size_t trailLength = std::strlen(trail);
    if (leadLength + detailLength + trailLength <= kPieceSize) {
        // The common case goes out as one message.
        Msg("kestrel error: %s%.*s%s\n", lead, static_cast<int>(detailLength), detail, trail);
        return;
    }
    Msg("kestrel error: ");
    WriteConsoleText(lead, leadLength);
    WriteConsoleText(detail, detailLength);
    WriteConsoleText(trail, trailLength);
    Msg("\n");
}

}  // namespace kestrel
