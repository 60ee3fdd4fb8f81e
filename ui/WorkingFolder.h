#pragma once
// The folder the desktop program works in. The remembered port
// (Default_COM_Settings.txt) and the oscillogram records are written into
// the working directory; an installed program started from its own folder
// (C:\Program Files\... on Windows, where a user may not write) would lose
// them. It then works in this user's own data folder instead.
#include <filesystem>

namespace tovrel::ui {

// `current` when it can be written, otherwise `user_data`.
std::filesystem::path ChooseWorkingFolder(const std::filesystem::path& current,
                                          const std::filesystem::path& user_data,
                                          bool (*writable)(const std::filesystem::path&));

// Moves into the chosen folder (made when missing). Returns the folder the
// program works in from now on; the old one when the user's folder cannot be
// made or entered.
std::filesystem::path UseWritableWorkingFolder();

}  // namespace tovrel::ui
