#include "shell/widgets/wizard_application.h"

int main(int argc, char **argv)
{
    return RunZelnorWizard(argc, argv);
}
