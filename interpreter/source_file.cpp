#include "interpreter/source_file.h"

#include <cstdint>
#include <cstdio>
#include <new>

#include <sys/stat.h>

namespace kestrel {
namespace {

// Opening a FIFO would block the game until a writer comes, and a directory's
// end position is no size: only a regular file is read.
bool IsRegularFile(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

// The length as a file position, or -1 when it cannot be taken or leaves no
// room for the terminating NUL in a signed 32-bit size.
long FileLength(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    long length = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0)
        return -1;
    if (length < 0 || length >= INT32_MAX)
        return -1;
    return length;
}

}  // namespace

SourceFile ReadSourceFile(const char* path, char** buffer)
{
    *buffer = nullptr;
    if (!IsRegularFile(path))
        return SourceFile::CannotOpen;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr)
        return SourceFile::CannotOpen;

    long length = FileLength(file);
    char* text = length > 0 ? new (std::nothrow) char[static_cast<std::size_t>(length) + 1] : nullptr;
    std::size_t read = 0;
    if (text != nullptr) {
        // Text mode may give fewer bytes than the length (CR LF turned into
        // LF): the NUL goes after the bytes read, and ends the text there. The
        // rest is never read, so it is not cleared first: that would be one
        // more pass over a large file.
        read = std::fread(text, 1, static_cast<std::size_t>(length), file);
        text[read] = '\0';
    }
    std::fclose(file);

    if (read == 0) {
        ReleaseSourceBuffer(text);
        return SourceFile::CannotRead;
    }
    *buffer = text;
    return SourceFile::Read;
}

void ReleaseSourceBuffer(char* buffer)
{
    delete[] buffer;
}

}  // namespace kestrel
