// The Kanvaro application in a desktop window: the toolkit's main loop makes the window and the
// application delegate that the bundle's main interface file names.
#include "Host/ApplicationMain.h"
#include "KanvaroAppDelegate.h"

int main(int argc, char** argv)
{
    ui::registerApplicationDelegateClass<KanvaroAppDelegate>("KanvaroAppDelegate");
    return host::applicationMain(argc, argv);
}
