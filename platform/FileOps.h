#pragma once

#include <filesystem>

namespace pavix::platform {

// Renames `from` to `to` only when `to` does not exist yet, atomically; false
// when `to` exists or the rename failed, with errno telling why. Lets several
// writers number files in one folder without a lock.
bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace pavix::platform
