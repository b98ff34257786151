// The one application object, built before main runs.
#include "SMKApp.h"

CSMKApp theApp;
