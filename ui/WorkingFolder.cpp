#include "WorkingFolder.h"

#include "ConfigurationReadWrite.h"
#include "Platform.h"

namespace fs = std::filesystem;

namespace tovrel::ui {

fs::path ChooseWorkingFolder(const fs::path& current, const fs::path& user_data, bool (*writable)(const fs::path&)) {
    if (current.empty() || writable(current)) return current;
    return user_data;
}

fs::path UseWritableWorkingFolder() {
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    if (ec) return {};
    const fs::path chosen = ChooseWorkingFolder(current, UserDataDirectory(),
                                                [](const fs::path& p) { return platform::IsWritable(p); });
    if (chosen == current) return current;
    fs::create_directories(chosen, ec);
    fs::current_path(chosen, ec);
    return ec ? current : chosen;
}

}  // namespace tovrel::ui
