#include "reportengine/PdfDeflate.h"

#include <cstring>
#include <mutex>

#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <zlib.h>

namespace {

constexpr int NoLevel = -2;
constexpr int PdfLevel = 5;
thread_local int t_pdfLevel = NoLevel;

int deflateInitForPdf(z_streamp stream, int level, const char* version, int streamSize)
{
    return deflateInit2_(stream, t_pdfLevel != NoLevel ? t_pdfLevel : level, Z_DEFLATED, MAX_WBITS,
        8, Z_DEFAULT_STRATEGY, version, streamSize);
}

#if defined(__x86_64__) || defined(__aarch64__)
// Qt Gui deflates the page contents, Qt Core (qCompress) the fonts and images. Their calls to
// zlib's deflateInit_ go through each library's own table of imported functions: pointing
// those two entries at deflateInitForPdf reaches Qt's PDF streams and nothing else, without a
// definition of the process that every library's zlib calls would bind to.
bool isQtLibraryThatDeflatesForPdf(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    const char* name = slash ? slash + 1 : path;
    return std::strncmp(name, "libQt6Gui.so", 12) == 0
        || std::strncmp(name, "libQt6Core.so", 13) == 0;
}

void pointSlotAt(ElfW(Addr) slot, ElfW(Addr) relroStart, ElfW(Addr) relroEnd)
{
    // Entries bound at load time lie in memory made read-only once relocated: open their page
    // for the write and close it again, as the loader rounds it.
    const auto pageSize = ElfW(Addr)(sysconf(_SC_PAGESIZE));
    auto* page = reinterpret_cast<void*>(slot & ~(pageSize - 1));
    const bool readOnly = slot >= relroStart && slot < relroEnd;
    if (readOnly && mprotect(page, pageSize, PROT_READ | PROT_WRITE) != 0)
        return;
    __atomic_store_n(reinterpret_cast<void**>(slot), reinterpret_cast<void*>(&deflateInitForPdf),
        __ATOMIC_RELEASE);
    if (readOnly)
        mprotect(page, pageSize, PROT_READ);
}

int redirectDeflateInit(dl_phdr_info* info, size_t, void*)
{
    if (info->dlpi_name == nullptr || !isQtLibraryThatDeflatesForPdf(info->dlpi_name))
        return 0;
    const ElfW(Addr) base = info->dlpi_addr;
    const ElfW(Dyn)* dynamic = nullptr;
    ElfW(Addr) relroStart = 0;
    ElfW(Addr) relroEnd = 0;
    const auto pageSize = ElfW(Addr)(sysconf(_SC_PAGESIZE));
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_DYNAMIC)
            dynamic = reinterpret_cast<const ElfW(Dyn)*>(base + segment.p_vaddr);
        else if (segment.p_type == PT_GNU_RELRO) {
            relroStart = (base + segment.p_vaddr) & ~(pageSize - 1);
            relroEnd = (base + segment.p_vaddr + segment.p_memsz) & ~(pageSize - 1);
        }
    }
    if (dynamic == nullptr)
        return 0;
    // The loader has already turned these into addresses where it relocates the section in
    // place; elsewhere they are still offsets from the base.
    const auto address = [base](ElfW(Addr) a) { return a < base ? a + base : a; };
    const ElfW(Sym)* symbols = nullptr;
    const char* names = nullptr;
    const ElfW(Rela) * tables[2] = {};
    std::size_t sizes[2] = {};
    for (const ElfW(Dyn)* d = dynamic; d->d_tag != DT_NULL; ++d) {
        switch (d->d_tag) {
        case DT_SYMTAB:
            symbols = reinterpret_cast<const ElfW(Sym)*>(address(d->d_un.d_ptr));
            break;
        case DT_STRTAB:
            names = reinterpret_cast<const char*>(address(d->d_un.d_ptr));
            break;
        case DT_JMPREL:
            tables[0] = reinterpret_cast<const ElfW(Rela)*>(address(d->d_un.d_ptr));
            break;
        case DT_PLTRELSZ:
            sizes[0] = d->d_un.d_val;
            break;
        case DT_RELA:
            tables[1] = reinterpret_cast<const ElfW(Rela)*>(address(d->d_un.d_ptr));
            break;
        case DT_RELASZ:
            sizes[1] = d->d_un.d_val;
            break;
        default:
            break;
        }
    }
    if (symbols == nullptr || names == nullptr)
        return 0;
    for (int t = 0; t < 2; ++t) {
        if (tables[t] == nullptr)
            continue;
        for (std::size_t k = 0; k < sizes[t] / sizeof(ElfW(Rela)); ++k) {
            const ElfW(Rela)& r = tables[t][k];
            const auto symbol = ELF64_R_SYM(r.r_info);
            if (symbol != 0 && std::strcmp(names + symbols[symbol].st_name, "deflateInit_") == 0)
                pointSlotAt(base + r.r_offset, relroStart, relroEnd);
        }
    }
    return 0;
}
#endif

void redirectQtDeflateInitOnce()
{
#if defined(__x86_64__) || defined(__aarch64__)
    static std::once_flag once;
    std::call_once(once, [] { dl_iterate_phdr(&redirectDeflateInit, nullptr); });
#endif
}

} // namespace

PdfDeflateLevel::PdfDeflateLevel()
    : m_kept(t_pdfLevel)
{
    redirectQtDeflateInitOnce();
    t_pdfLevel = PdfLevel;
}

PdfDeflateLevel::~PdfDeflateLevel()
{
    t_pdfLevel = m_kept;
}
