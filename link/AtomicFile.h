#pragma once
// Writing a file whole or not at all: the bytes go into a temporary file
// beside the target, which then replaces it. A failure leaves any earlier
// file untouched.
#include <cstdio>
#include <string>
#include <string_view>

namespace tovrel {

// Returns true on success; on failure `error` (when given) says why.
// Creates an empty temporary file beside `path` (same directory, hidden name)
// for writing that is later renamed over `path`. Returns its descriptor and
// sets `temp_path`, or -1 with errno set.
int CreateFileBeside(const std::string& path, std::string& temp_path);

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Opens `path` for binary reading only when it is a regular file. A FIFO, a
// device or a directory is refused (null) without blocking: opening a FIFO
// for reading would otherwise wait for a writer for ever.
std::FILE* OpenRegularFile(const std::string& path);

}  // namespace tovrel
