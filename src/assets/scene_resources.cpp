// Loads the four pictures into their texture slots, sets the fixed render
// state and light 1, and starts the tune. Runs at every display open, in the
// freshly made GL context.
#include "assets/scene_resources.h"

#include <cstdio>
#include <cstdlib>

#include "platform/gl.h"

uint32_t textureNames[kTextureSlotCount];

float lightAmbient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
float lightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float lightPosition[4] = {kLightPositionStart[0], kLightPositionStart[1], kLightPositionStart[2],
                          kLightPositionStart[3]};

SongHandle songHandle = nullptr;

// A missing picture fails quietly here; only the reader itself reports faults
// inside a file that does exist.
RgbImage* LoadImageIfPresent(const char* path) {
    if (path == nullptr) {
        return nullptr;
    }
    std::FILE* probe = std::fopen(path, "r");
    if (probe == nullptr) {
        return nullptr;
    }
    std::fclose(probe);
    return ReadBitmapFile(path);
}

static void FreeImage(RgbImage* image) {
    if (image->pixels != nullptr) {
        std::free(image->pixels);
    }
    std::free(image);
}

// Packed RGB rows are 3 * width bytes. GL's default unpack alignment of 4
// reads them correctly only when that is a multiple of 4 (width a multiple of
// 4); for other widths each row would be read with phantom pad bytes.
static bool RowsNeedByteAlignment(int32_t width) {
    return width % 4 != 0;
}

int LoadTexture(int32_t slot, const char* path) {
    if (slot < 0 || slot >= kTextureSlotCount) {
        return 0;
    }
    RgbImage* image = LoadImageIfPresent(path);
    if (image == nullptr) {
        return 0;
    }

    // A fresh name every open: the old one died with the previous context.
    glGenTextures(1, &textureNames[slot]);
    glBindTexture(GL_TEXTURE_2D, textureNames[slot]);

    const bool byteAligned = RowsNeedByteAlignment(image->width);
    if (byteAligned) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image->pixels);
    if (byteAligned) {
        // Back to GL's default so nothing else sees a changed unpack state.
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    FreeImage(image);
    return 1;
}

static int LoadAllTextures() {
    for (int32_t slot = 0; slot < kTextureSlotCount; ++slot) {
        if (!LoadTexture(slot, kPictureFiles[slot])) {
            return 0;
        }
    }
    return 1;
}

static void SetRenderState() {
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

// The position goes through the identity modelview left by the viewport set-up,
// so it is in eye coordinates. Lighting itself is left for each scene to switch.
static void SetUpLight() {
    glLightfv(GL_LIGHT1, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT1);
}

// The tune never stops the show: no result is examined, and a null song goes
// to the volume and play calls as it came.
static void StartMusic() {
    FSOUND_Init(44100, 32, 2);
    songHandle = FMUSIC_LoadSong(kTuneFile);
    FMUSIC_SetMasterVolume(songHandle, 256);
    FMUSIC_PlaySong(songHandle);
}

int InitScene() {
    if (!LoadAllTextures()) {
        return 0;
    }
    SetRenderState();
    SetUpLight();
    StartMusic();
    return 1;
}
