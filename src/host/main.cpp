// kalemar: one command of the process-drawing tools per run.

#include "host/Launcher.h"

int main(int argc, char** argv)
{
    return host::RunLauncher(argc, argv);
}
