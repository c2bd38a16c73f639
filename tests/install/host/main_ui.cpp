// A host program of both installed libraries, through their two umbrella
// headers.  Without a display the dialog declines and the host goes on.
#include <TQRVNBase.h>
#include <TQRVNBaseUI.h>

#include <cstdio>

int main() {
    const bool chosen = RVN::ShowPipeSpecDlg(1, nullptr);
    const double lambda = RVN::GetLmd(100000, 0.001);
    std::printf("dialog=%d lambda=%.6f\n", chosen ? 1 : 0, lambda);
    return !chosen && lambda > 0.0 ? 0 : 1;
}
