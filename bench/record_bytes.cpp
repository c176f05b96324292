// Prints the memory one catalogue entry costs the program, sizeof(tarnvel::record), in
// bytes: bench/run.py sizes the floor and the churn by it.
#include <cstdio>

#include "model/record.h"

int main()
{
    std::printf("%zu\n", sizeof(tarnvel::record));
    return 0;
}
