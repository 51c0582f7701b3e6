// Reads a Ruby source file whole, for rb.RunFile.
#pragma once

namespace kestrel {

enum class SourceFile { Read, CannotOpen, CannotRead };

// Reads the file at `path` in text mode into a new buffer that holds the bytes
// read and a NUL after them, and hands it to the caller in `*buffer`; release
// it with ReleaseSourceBuffer. Only a regular file is opened: a directory or a
// FIFO is refused as a file that cannot be opened. A file that gives no bytes,
// whose length cannot be taken or does not fit, gets no buffer.
SourceFile ReadSourceFile(const char* path, char** buffer);

void ReleaseSourceBuffer(char* buffer);

}  // namespace kestrel
