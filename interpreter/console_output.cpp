#include "interpreter/console_output.h"

#include <cstring>

#include "host/host_interface.h"

namespace kestrel {
namespace {

// Well inside any console buffer we know of; the stand-in's holds 4,095 bytes.
constexpr std::size_t kPieceSize = 1024;

void WritePiece(const char* text, std::size_t length)
{
    Msg("%.*s", static_cast<int>(length), text);
}

}  // namespace

void WriteConsoleText(const char* text, std::size_t length)
{
    if (const void* nul = std::memchr(text, '\0', length))
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
    for (std::size_t done = 0; done < length; done += kPieceSize) {
        std::size_t rest = length - done;
        WritePiece(text + done, rest < kPieceSize ? rest : kPieceSize);
    }
}

void WriteErrorLine(const char* lead, const char* detail, std::size_t detailLength,
                    const char* trail)
{
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
