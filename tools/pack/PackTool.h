#pragma once
#include <cstdio>

/** The packing tool behind `kelvane-pack`, callable from tests:

        kelvane-pack OUT.bin NAME=FILE ...          pack the files under those names
        kelvane-pack OUT.bin --manifest LIST.txt    the same, one NAME=FILE per line of LIST.txt
                                                    (blank lines and lines starting with # skipped;
                                                    relative FILEs are relative to LIST.txt)
        kelvane-pack --list PACK.bin                print each entry's name, type and size

    Each file becomes an image entry when it decodes as PNG or JPEG, a sample when it is a WAV file,
    and raw data otherwise; a file named .png/.jpg/.jpeg that does not decode is an error, since the
    editor asks for those as images. The pack is written to OUT.bin.tmp and renamed, so a failed run
    never leaves a half-written pack behind. Errors name the file and the problem on `err`.
    Returns the exit status: 0 success, 1 a file or pack problem, 2 wrong usage. */
int runPackTool(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
