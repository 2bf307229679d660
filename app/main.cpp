// The puzzle's entry; the shell does the rest.
#include "app/app.h"

int main(int argc, char** argv)
{
    return RunProgram(argc, argv);
}
