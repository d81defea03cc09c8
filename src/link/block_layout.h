#pragma once

#include "base/module_family.h"

#include <array>

// The ten parameter blocks of a module as the frame protocol carries them.
inline constexpr int kBlockCount = 10;
// The largest block (block 1) and the room a reply frame needs around it:
// 4 header bytes, up to 255 data bytes and the checksum.
inline constexpr int kMaxBlockLength = 42;
inline constexpr int kReplyBufferSize = 260;

// Data bytes of each parameter block, without frame overhead. Only the
// live-value blocks 8 and 9 differ between the families.
inline constexpr std::array<int, kBlockCount> BlockLengthStd = {22, 42, 32, 32, 32, 32, 29, 29, 10, 10};
inline constexpr std::array<int, kBlockCount> BlockLengthFreq = {22, 42, 32, 32, 32, 32, 29, 29, 12, 12};

inline constexpr bool IsBlockNumber(int block)
{
    return block >= 0 && block < kBlockCount;
}

// The length of a block for a family; 0 for a number outside 0..9.
inline constexpr int BlockLength(int block, ModuleFamily family)
{
    if (!IsBlockNumber(block))
        return 0;
    return family == Family7210 ? BlockLengthFreq[block] : BlockLengthStd[block];
}
