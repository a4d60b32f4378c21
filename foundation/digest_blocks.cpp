#include "foundation/digest_blocks.h"

namespace digest_blocks {

const std::uint8_t kPadding[64] = {0x80};

}  // namespace digest_blocks
