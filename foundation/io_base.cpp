#include "foundation/io_base.h"

#include "foundation/win_io_base.h"

namespace em_utility {

io_base* create_io(unsigned kind) {
  if (kind == 0) return new win_io_base();
  return nullptr;
}

}  // namespace em_utility
