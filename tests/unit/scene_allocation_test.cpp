// Every frame of every scene must run without touching the heap. Global
// operator new is replaced here to count allocations; the GL call log stops
// recording while a frame is measured so its own storage does not count.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "gl_call_log/gl_call_log.h"
#include "scene_state_guard.h"
#include "shell_fixture.h"
#include "show/scenes.h"

static std::atomic<long> heapAllocations{0};

static void* CountedAllocation(std::size_t size) {
    heapAllocations.fetch_add(1, std::memory_order_relaxed);
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        std::abort();
    }
    return block;
}

void* operator new(std::size_t size) {
    return CountedAllocation(size);
}
void* operator new[](std::size_t size) {
    return CountedAllocation(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocation(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

static long AllocationsDuring(void (*scene)(double), double frameMs) {
    GlCallLogSetRecording(false);
    const long before = heapAllocations.load();
    scene(frameMs);
    const long after = heapAllocations.load();
    GlCallLogSetRecording(true);
    return after - before;
}

class SceneAllocations : public SceneStateGuard {};

TEST_F(SceneAllocations, NoSceneFrameAllocates) {
    // The counter itself must see allocations, or the test proves nothing.
    const long before = heapAllocations.load();
    ::operator delete(::operator new(16));
    ASSERT_EQ(heapAllocations.load() - before, 1);

    shrinkAccumulator = 1;
    pathParameter = 0;
    polyhedronAngle = 0;
    latticeAngle = 0;
    EXPECT_EQ(AllocationsDuring(DrawOpeningPicture, 16), 0);
    EXPECT_EQ(AllocationsDuring(DrawShrinkingPicture, 16), 0);
    EXPECT_EQ(AllocationsDuring(DrawBezierPath, 16), 0);
    EXPECT_EQ(AllocationsDuring(DrawPulsingPolyhedron, 16), 0);
    EXPECT_EQ(AllocationsDuring(DrawCubeLattice, 16), 0);
    shrinkAccumulator = 3000;  // the end picture's branch
    EXPECT_EQ(AllocationsDuring(DrawShrinkingPicture, 16), 0);
}

// The same for the frame loop around the scenes: every drawing turn of the
// whole show (clock, timeline, scene, present) on the fake platform, whose
// call record has room reserved so that recording does not allocate either.
class FrameLoopAllocations : public ShellTest {};

TEST_F(FrameLoopAllocations, NoDrawingTurnOfTheWholeShowAllocates) {
    FakePlatform().calls.reserve(1u << 16);
    long atFirstTurn = -1;
    long atLastTurn = -1;
    // Reading 0 is the start time, before the display opens; reading 1 is
    // the first drawing turn, the last one the turn that ends the show.
    FakePlatform().onClockRead = [&](int reading) {
        if (reading == 1) {
            GlCallLogSetRecording(false);
            atFirstTurn = heapAllocations.load();
        }
        atLastTurn = heapAllocations.load();
    };
    EXPECT_EQ(DemoMain(nullptr, nullptr, nullptr, 0), kExitShowEnded);
    GlCallLogSetRecording(true);
    EXPECT_GT(FakePlatform().swaps, 5000) << "the whole show was run at 16 ms a turn";
    ASSERT_GE(atFirstTurn, 0);
    EXPECT_EQ(atLastTurn - atFirstTurn, 0);
}
