// vup_bench_startup_floor: the least any SDL2 + OpenGL program can do to put
// the show's first picture on screen: a fullscreen 800 x 600 window with the
// show's pixel format and GL context, one 512 x 512 texture, and the opening
// picture's frame (the same GL calls in the same state), presented and
// stamped through VUP_FRAME_STATS like the show's own presents. No pictures
// are read and no tune is started. Its start-up, measured the same way as
// the show's, is the floor the platform and the driver set.
#include <SDL.h>

#include <vector>

#include "platform/gl.h"
#include "shell/frame_stats.h"

static void DrawOpeningFrame(GLuint texture) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glTranslatef(0.0f, 0.0f, -20.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-7.0f, -14.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(13.0f, -14.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(13.0f, 6.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-7.0f, 6.0f, 0.0f);
    glEnd();
}

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow("floor", 0, 0, 800, 600, SDL_WINDOW_OPENGL | SDL_WINDOW_FULLSCREEN);
    SDL_GLContext context = window != nullptr ? SDL_GL_CreateContext(window) : nullptr;
    if (context == nullptr) {
        return 1;
    }
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 800.0 / 600.0, static_cast<double>(0.1f), 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    const std::vector<unsigned char> pixels(512 * 512 * 3, 128);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 512, 512, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    DrawOpeningFrame(texture);
    SDL_GL_SwapWindow(window);
    FrameStatsPresented();

    // Stays up until stopped, like the show (SDL turns SIGTERM into SDL_QUIT).
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                SDL_GL_DeleteContext(context);
                SDL_DestroyWindow(window);
                SDL_Quit();
                return 0;
            }
        }
        SDL_Delay(10);
    }
}
