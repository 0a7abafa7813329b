#pragma once
// Blocks of fresh memory that are written through soon after they are taken.

#include <QtGlobal>

// A block of at least the size asked for. One of 2 MiB or more is aligned to
// 2 MiB, its size rounded up to whole 2 MiB, and backed by large pages where
// the system gives them when asked (Linux's transparent huge pages in their
// common setting). The first write to each 4 KiB page of fresh memory costs a
// page fault; a block the size of a large roster takes thousands of them, in
// large pages a few. Elsewhere the block is plain memory.
class LargeBlock {
public:
    explicit LargeBlock(qsizetype size);
    ~LargeBlock();
    LargeBlock(const LargeBlock&) = delete;
    LargeBlock& operator=(const LargeBlock&) = delete;

    char* data() const { return data_; }
    qsizetype size() const { return size_; }

private:
    qsizetype size_;
    char* data_;
};
