// Outputs appear under their final names only when complete: everything is
// written under a temporary name in the same folder (so the last step is an
// atomic rename) and either renamed into place or removed.
#pragma once

#include <cstddef>
#include <string>

// "DIR/.NAME.partial-PID": hidden, beside the final file, unique per process.
std::string TemporarySiblingPath(const std::string& finalPath);

// Moves a finished temporary file to its final name, replacing any old file.
// 1 on success; 0 with a one-line reason (the temporary file is removed).
int CommitFile(const std::string& temporaryPath, const std::string& finalPath, std::string* error);

// Removes a temporary file; a missing one is fine.
void DiscardFile(const std::string& temporaryPath);

// Writes size bytes to a temporary sibling and commits it. 1 on success; 0
// with a one-line reason, leaving neither file behind.
int WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* error);

// Checks that a file can be created in the folder that will hold path, by
// creating and removing its temporary sibling. 1 when it can.
int CheckWritable(const std::string& path, std::string* error);

// Makes the folder if it is missing (its parent must exist). 1 when the
// folder exists afterwards and files can be created in it.
int PrepareOutputFolder(const std::string& folder, std::string* error);
