#pragma once

#include <cstdint>
#include <vector>

namespace tamrisk {

// Picks, for pixels that may show either of two colour indices (transparent
// or their own colour, say), the one that lets a GIF LZW encoder match longer
// strings. The encoder is followed step by step, as giflib works: greedy
// longest match, a new code after each emitted one, a clear code when the
// 12-bit codes run out. Each string starts with the index whose known string
// goes on longest, and follows the longer of two known strings where both
// indices go on (searched to a bounded depth), so the encoder's own greedy
// match finds the strings chosen.
//
// indices: the pixels in the order they are compressed, each below
// 1 << code_size; alternative: for each pixel -1, or the other index it may
// have (also below 1 << code_size). indices is rewritten with the choice.
void choose_for_lzw(std::vector<std::uint8_t>& indices,
                    const std::vector<std::int16_t>& alternative, int code_size);

}  // namespace tamrisk
