#include "MemoryTuning.h"
#include "Startup.h"

int main(int argc, char** argv)
{
    TuneMemoryAllocator();
    return RunAutorun(argc, argv);
}
