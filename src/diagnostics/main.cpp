// The editor program "lexivane".

#include "diagnostics/Startup.h"

int main(int argc, char **argv)
{
    return RunLexivane(argc, argv);
}
