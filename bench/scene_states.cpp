#include "scene_states.h"

#include "show/scenes.h"
#include "show/timeline.h"

static void KeepOpening() {}
static void SetPath() {
    pathParameter = 0.25f;
}
static void SetPolyhedron() {
    polyhedronAngle = 500.0f;
}
static void SetLattice() {
    latticeAngle = 700.0f;
}
static void SetShrink() {
    shrinkAccumulator = 1500.0f;
}

const SceneState kSceneStates[] = {
    {"OpeningPicture", 5000.0, KeepOpening},       {"BezierPath", 20000.0, SetPath},
    {"PulsingPolyhedron", 40000.0, SetPolyhedron}, {"CubeLattice", 60000.0, SetLattice},
    {"ShrinkingPicture", 80000.0, SetShrink},
};
const int kSceneStateCount = static_cast<int>(sizeof kSceneStates / sizeof kSceneStates[0]);

void DrawSceneState(const SceneState& state) {
    RunTimeline(0.0, state.showMs);
}
