// What both fuzz targets share: a console stand-in for the reader's two
// platform calls that counts the boxes it is asked for, an allocator with a
// ceiling that records every block, and the checks run on every result.
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/bitmap_reader.h"

// Above this the harness allocator answers "no memory", so that a search
// that finds large pictures (a few bytes of run-length data may declare
// 32768 x 32768) does not slow down to zeroing megabytes per input; those
// inputs exercise the reader's out-of-memory path instead. Every request is
// still checked against the reader's own ceiling (kMaxDecodedBytes) first.
// 256 KiB holds every picture a fuzzed input of a few kilobytes can spell out
// uncompressed (24 output bytes per input byte at 1 bit per pixel).
constexpr size_t kHarnessAllocationCeiling = 256u << 10;

// Set up once per process: errors shown (as counted boxes), harness allocator.
void InstallReaderHarness();

// Clears the box count and the allocation record before one read.
void BeginRead();

// Aborts (a finding) unless the result is sound: a picture with a positive
// size whose pixel block holds exactly width x height x 3 readable bytes and
// no box shown, or a null result after exactly one box with one of the
// reader's texts.
void CheckReadResult(const RgbImage* image);

// The text of the last box shown during the current read (empty if none).
const char* LastBoxText();

// Allocations the reader asked for during the last read.
int AllocationRequests();

// Runs the same bytes again with each of the first `requests` allocations
// failing in turn: each must end null after one "Out of memory." box (leaks
// are the leak checker's to find).
void CheckEveryAllocationFailure(const unsigned char* bytes, size_t size, int requests);

// Frees a picture the way the show does: pixels first, then the record.
void FreePicture(RgbImage* image);

// Aborts with the text when the condition is false.
void Require(bool condition, const char* what);
