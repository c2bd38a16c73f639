// tqrvn_make_catalog OUTPUT DATA_DIR: writes the catalog file OUTPUT from the
// schema and seed tables in DATA_DIR, replacing an existing OUTPUT.  The build
// runs it to place the default catalog next to the library.
#include "catalog/CatalogBuilder.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tqrvn_make_catalog OUTPUT DATA_DIR\n";
        return 2;
    }
    std::string error;
    if (!RVN::BuildCatalog(argv[1], argv[2], true, error)) {
        std::cerr << "tqrvn_make_catalog: " << error << "\n";
        return 1;
    }
    return 0;
}
