// `vup-assets check`: reads every file the show reads, the way the show reads
// it, and tells whether the show would start with them.
#pragma once

#include <cstdio>
#include <string>

// One line per file to out (reader messages go to standard error), then the
// verdict. Returns 0 when the show would start, 1 when a picture is missing
// or refused. The tune only ever warns: the show plays on without it.
int CheckAssets(const std::string& dir, FILE* out);

// Joins the show's relative path onto DIR ("" and "." mean here).
std::string AssetPath(const std::string& dir, const char* relative);
