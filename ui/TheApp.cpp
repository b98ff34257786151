// The one application object, built before main runs.
#include "ui/SMKApp.h"

CSMKApp theApp;
