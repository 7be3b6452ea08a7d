#include "shell/app.h"

int main(int argc, char* argv[])
{
    return Starwick::RunStarwick(argc, argv);
}
