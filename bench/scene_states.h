// The fixed moments every frame measurement uses: one per scene, each with
// the scene's persistent value set to a mid-scene value and a show time
// inside the scene's interval. A frame at one of them is drawn with a frame
// delta of 0, so the values stay put and every repetition is the same frame.
#pragma once

struct SceneState {
    const char* name;
    double showMs;    // elapsed time handed to the timeline
    void (*apply)();  // sets the scene's persistent value
};

extern const SceneState kSceneStates[];
extern const int kSceneStateCount;

// The scene's frame as the show's loop draws it: the timeline at the
// state's time with a delta of 0.
void DrawSceneState(const SceneState& state);
