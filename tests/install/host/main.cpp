// A host program that uses the installed library through its umbrella header.
#include <TQRVNBase.h>

#include <cstdio>

int main() {
    const double lambda = RVN::GetLmd(100000, 0.001);
    std::printf("lambda=%.6f\n", lambda);
    return lambda > 0.0 && lambda < 0.05 ? 0 : 1;
}
