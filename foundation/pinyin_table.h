// The pinyin order of every two-byte GBK code, used to sort Chinese text by reading.
#pragma once

// One entry per code with lead byte 0x81..0xFE and trail byte 0x40..0xFE, at
// (lead - 0x81) * 191 + (trail - 0x40): the 1-based position of the character's syllable in the
// alphabetical list of 408 syllables (1 = a ... 408 = zuo), 0 for a code without a Chinese
// character. A character with several readings is sorted by one of them.
constexpr int kPinyinOrderTableSize = 24066;
extern const int PinyinOrderTable[kPinyinOrderTableSize];
