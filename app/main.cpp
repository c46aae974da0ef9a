#include "CTarvexApp.h"

CTarvexApp theApp;

int main(int argc, char* argv[])
{
    return AfxWinMain(argc, argv);
}
