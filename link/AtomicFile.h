#pragma once
// Writing a file whole or not at all: the bytes go into a temporary file
// beside the target, which then replaces it. A failure leaves any earlier
// file untouched.
#include <string>
#include <string_view>

namespace tovrel {

// Returns true on success; on failure `error` (when given) says why.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace tovrel
