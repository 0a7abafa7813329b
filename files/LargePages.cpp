#include "files/LargePages.h"

#include <cstddef>
#include <new>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace {

constexpr qsizetype kLargePage = 2 * 1024 * 1024;

qsizetype RoundedSize(qsizetype size)
{
    size = qMax<qsizetype>(size, 1);
    return size < kLargePage ? size : (size + kLargePage - 1) / kLargePage * kLargePage;
}

std::align_val_t AlignmentFor(qsizetype size)
{
    return std::align_val_t(size < kLargePage ? alignof(std::max_align_t) : kLargePage);
}

void AdviseLargePages([[maybe_unused]] char* data, [[maybe_unused]] qsizetype size)
{
#ifdef Q_OS_LINUX
    if (size >= kLargePage)
        madvise(data, size_t(size), MADV_HUGEPAGE);
#endif
}

} // namespace

LargeBlock::LargeBlock(qsizetype size)
    : size_(RoundedSize(size)),
      data_(static_cast<char*>(::operator new(size_t(size_), AlignmentFor(size_))))
{
    AdviseLargePages(data_, size_);
}

LargeBlock::~LargeBlock()
{
    ::operator delete(data_, AlignmentFor(size_));
}
