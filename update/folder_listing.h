// The names of the files in a folder, for the update folder's clean-up.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tonvira {

// Plain files only (folders are skipped); empty when the folder is missing or unreadable.
std::vector<std::u16string> FilesInFolder(std::u16string_view folder);

}  // namespace tonvira
