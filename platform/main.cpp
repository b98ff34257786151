#include <cstdio>

// Stand-in until the application layer exists: the toolkit builds, the
// program does not paint yet.
int main() {
    std::puts("Daublin: the toolkit is built; the application itself is not yet.");
    return 0;
}
