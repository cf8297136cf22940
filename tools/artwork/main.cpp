// kelvane-artwork: draws the editor's background and film strips into a folder, for kelvane-pack.
//
//     kelvane-artwork OUTDIR [--preview FILE.png]
#include "tools/artwork/ArtworkSet.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    std::string folder, preview;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc)
            preview = argv[++i];
        else if (argv[i][0] != '-' && folder.empty())
            folder = argv[i];
        else {
            folder.clear();
            break;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: kelvane-artwork OUTDIR [--preview FILE.png]\n");
        return 2;
    }
    try {
        kelvane::artwork::writeArtwork(folder, preview);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvane-artwork: %s\n", e.what());
        return 1;
    }
    return 0;
}
