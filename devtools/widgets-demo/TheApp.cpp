// The demo's one application object, built before main runs.
#include "devtools/widgets-demo/DemoApp.h"

CDemoApp theApp;
