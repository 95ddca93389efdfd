// The modelview and projection stacks and the calls that change them.
#include "platform/webgl/gl11_context.h"

static Gl11MatrixStack* CurrentStack() {
    return gl11.matrixMode == GL_PROJECTION ? &gl11.projection : &gl11.modelview;
}

static Gl11Matrix& CurrentMatrix() {
    Gl11MatrixStack* stack = CurrentStack();
    return stack->entries[stack->top];
}

static void MultiplyCurrent(const Gl11Matrix& by) {
    Gl11Matrix& current = CurrentMatrix();
    current = Gl11MatrixMultiply(current, by);
    gl11.derivedStale = true;
}

extern "C" {

void APIENTRY glMatrixMode(GLenum mode) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) {
        Gl11RecordError(GL_INVALID_ENUM);
        return;
    }
    gl11.matrixMode = mode;
}

void APIENTRY glLoadIdentity() {
    if (Gl11InsidePrimitive()) {
        return;
    }
    CurrentMatrix() = Gl11MatrixIdentity();
    gl11.derivedStale = true;
}

void APIENTRY glPushMatrix() {
    if (Gl11InsidePrimitive()) {
        return;
    }
    Gl11MatrixStack* stack = CurrentStack();
    if (stack->top + 1 >= kGl11StackDepth) {
        Gl11RecordError(GL_STACK_OVERFLOW);
        return;
    }
    stack->entries[stack->top + 1] = stack->entries[stack->top];
    ++stack->top;
}

void APIENTRY glPopMatrix() {
    if (Gl11InsidePrimitive()) {
        return;
    }
    Gl11MatrixStack* stack = CurrentStack();
    if (stack->top == 0) {
        Gl11RecordError(GL_STACK_UNDERFLOW);
        return;
    }
    --stack->top;
    gl11.derivedStale = true;
}

void APIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    if (!Gl11InsidePrimitive()) {
        MultiplyCurrent(Gl11MatrixTranslation(x, y, z));
    }
}

void APIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    if (!Gl11InsidePrimitive()) {
        MultiplyCurrent(Gl11MatrixRotation(angle, x, y, z));
    }
}

void APIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    Gl11Matrix projection;
    if (!Gl11InsidePrimitive() && Gl11MatrixPerspective(fovy, aspect, zNear, zFar, &projection)) {
        MultiplyCurrent(projection);
    }
}

void APIENTRY gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX,
                        GLdouble centerY, GLdouble centerZ, GLdouble upX, GLdouble upY,
                        GLdouble upZ) {
    if (!Gl11InsidePrimitive()) {
        MultiplyCurrent(
            Gl11MatrixLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ));
    }
}

}  // extern "C"
