#include "CTarvexApp.h"

int main(int argc, char* argv[])
{
    // The one application object; it outlives the run of the framework's
    // message loop, and goes before the program's static objects do.
    CTarvexApp theApp;
    return AfxWinMain(argc, argv);
}
