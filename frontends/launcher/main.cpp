// The program's executable: reads the launch options, answers --help and --version and plays
// headless scripts without loading the GUI toolkit; for the display it starts the GUI program.

#include "launcher/gui_program.h"
#include "launcher/launch.h"

int main(int argc, char** argv) {
    return Launch(argc, argv, ExecGuiProgram);
}
