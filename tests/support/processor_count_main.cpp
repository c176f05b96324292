// Prints the number of processors the program may run threads on, as the
// catalogue reader counts them: for a test of it under taskset.
#include <cstdio>

#include "system/process.h"

int main()
{
    std::printf("%d\n", tarnvel::processor_count());
    return 0;
}
