#include "Startup.h"

#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char** argv)
{
#if defined(__GLIBC__)
    // A loaded project is hundreds of thousands of small blocks. glibc keeps freed small blocks aside
    // and merges them later in bulk, in no useful order; merging each one as it is freed makes freeing
    // a large project at the end two to three times faster.
    mallopt(M_MXFAST, 0);
#endif
    return RunAutorun(argc, argv);
}
