// Free space of drives.
#pragma once

#include <cstdint>

#include "winlayer/cstring.h"

namespace em_utility {

// Bytes free for the caller on a drive such as "C:". 0 for "A:" and "B:", which are never
// touched (a floppy drive would spin up or complain), and for a drive that cannot be asked.
// The system's critical-error dialogs stay off during the query.
std::uint64_t get_disk_free_space(const wchar_t* drive);

// The fixed drive ("C:") with the most free space; the first one wins a tie. Empty when there
// is no fixed drive.
CString get_largest_fixed_drive();

}  // namespace em_utility
