// Preloaded into zelm (LD_PRELOAD) to make its own calloc calls fail once it has run for
// ZELM_FAIL_CALLOC_AFTER_MS milliseconds, so that a test can reach the exit(-1) taken when the
// scene runs out of memory. Calls from the libraries (Xlib, Mesa, FLTK) are left alone: only a
// caller inside the program itself gets null.
#include <link.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

extern "C" void* __libc_calloc(std::size_t count, std::size_t size);

namespace {

std::int64_t now_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

const std::int64_t started_ms = now_ms();

// The address range of the program's own code, from the first object that the dynamic linker
// lists (the program), taken once at load time: nothing here may allocate.
std::uintptr_t program_begin = 0;
std::uintptr_t program_end = 0;

int note_program(dl_phdr_info* info, std::size_t, void*) {
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X) != 0) {
            program_begin = info->dlpi_addr + segment.p_vaddr;
            program_end = program_begin + segment.p_memsz;
        }
    }
    return 1;  // the first object only
}

[[gnu::constructor]] void find_program() {
    dl_iterate_phdr(note_program, nullptr);
}

bool called_from_program(const void* caller) {
    const auto address = reinterpret_cast<std::uintptr_t>(caller);
    return address >= program_begin && address < program_end;
}

}  // namespace

extern "C" void* calloc(std::size_t count, std::size_t size) {
    static const char* after = std::getenv("ZELM_FAIL_CALLOC_AFTER_MS");
    if (after != nullptr && now_ms() - started_ms >= std::atoll(after) &&
        called_from_program(__builtin_return_address(0))) {
        return nullptr;
    }
    return __libc_calloc(count, size);
}
