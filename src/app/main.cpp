#include "Startup.h"

int main(int argc, char** argv)
{
    return RunAutorun(argc, argv);
}
