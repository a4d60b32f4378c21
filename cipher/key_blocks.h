#pragma once

#include <functional>

#include "cipher/vlong.h"

namespace encrypt_module {

// The key classes' byte form: 124 plain bytes and 4 zero bytes make a 128-byte work block, read
// as 32 little-endian words (word 0 least significant). Every block number is thus below 2^992,
// and so below any modulus the key code accepts.
const int kPlainBlockBytes = 124;
const int kCipherBlockBytes = 128;
const unsigned kBlockWords = 32;

vlong words_to_vlong(const unsigned long* words, unsigned count);
void vlong_to_words(const vlong& x, unsigned long* words, unsigned count);
// A 128-byte work block as its number, and a number back as exactly 32 words.
vlong block_to_vlong(const unsigned char* block);
void vlong_to_block(const vlong& x, unsigned char* block);

// Cuts length bytes into blocks of in_size bytes (the last one zero-padded); transform(i, work)
// turns block i, given as a 128-byte work block (the block, then zeros), into its result, whose
// first out_size bytes go to the output. out_length = blocks · out_size; the output (new[]) has a
// zero byte after it. Null, with out_length 0, for a null input of non-zero length, a negative
// length or an output too long to count in an int.
char* transform_blocks(const char* in, int length, int& out_length, int in_size, int out_size,
                       const std::function<void(int, unsigned char*)>& transform);

}  // namespace encrypt_module
