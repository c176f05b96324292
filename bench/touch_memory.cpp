// Maps BYTES of fresh memory, writes one byte in every 4 KiB page of it, and
// gives it back as it ends: the kernel's cost of providing that much memory.
// The benchmark runs it for two ends: before a timed run, with about 1.5
// times the records' memory, it leaves free memory as a busy machine leaves
// it (the "churned" condition); with the memory of the records a query
// selects, it is a part of the floor that no reader of the catalogue that
// keeps them can go below.
//
// usage: touch_memory BYTES
#include <cstdio>
#include <cstdlib>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>
#endif

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: touch_memory BYTES\n", stderr);
        return 2;
    }
    const std::size_t bytes = std::strtoull(argv[1], nullptr, 10);
#if defined(__unix__) || defined(__APPLE__)
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return 1;
    volatile char* memory = static_cast<volatile char*>(mapped);
#else
    volatile char* memory = static_cast<volatile char*>(std::malloc(bytes));
    if (memory == nullptr)
        return 1;
#endif
    for (std::size_t at = 0; at < bytes; at += 4096)
        memory[at] = 1;
    return 0;
}
