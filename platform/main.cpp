// The process's entry: the one application object exists already (built
// by static construction); the platform layer runs it.
#include "platform/AppMac.h"

int main(int argc, char** argv) {
    return CAppMac::Main(argc, argv);
}
