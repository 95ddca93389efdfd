// vup-assets: checks and decodes the files the show reads.
#include "cli.h"

int main(int argc, char** argv) {
    return RunVupAssets(argc, argv);
}
