#include "app/ui/startup.h"

int main(int argc, char **argv)
{
    return spinlog::runSpinlog(argc, argv);
}
