#include "platform/ProcessTuning.h"

#include <malloc.h>

namespace ProcessTuning {

void apply()
{
    // QPdfWriter builds each page's content in a buffer of some hundred kilobytes and frees it
    // when the page ends. glibc hands blocks that size out with mmap, and gives the top of the
    // heap back to the system on every such free, so each page paid again for memory fresh from
    // the kernel: page faults and clearing took a third of a long document's time. Fixed limits
    // keep those blocks in the heap, to be reused by the next page; the memory held stays that
    // of one page per writer. A voucher run's buffer fill, which writes no page, spends a
    // quarter more time without them.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
}

} // namespace ProcessTuning
