// SDL2 backend: in progress
