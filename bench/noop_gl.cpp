// GL and GLU entry points that do nothing, linked in place of the driver so
// that what remains of a frame is the show's own code: its arithmetic, its
// loops and the calls it makes (each call still costs its jump and return).
#include "platform/gl.h"

static GLuint nextTextureName = 1;

extern "C" {

void APIENTRY glClear(GLbitfield) {}
void APIENTRY glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void APIENTRY glClearDepth(GLclampd) {}
void APIENTRY glEnable(GLenum) {}
void APIENTRY glDisable(GLenum) {}
void APIENTRY glShadeModel(GLenum) {}
void APIENTRY glDepthFunc(GLenum) {}
void APIENTRY glHint(GLenum, GLenum) {}
void APIENTRY glViewport(GLint, GLint, GLsizei, GLsizei) {}
void APIENTRY glMatrixMode(GLenum) {}
void APIENTRY glLoadIdentity() {}
void APIENTRY glPushMatrix() {}
void APIENTRY glPopMatrix() {}
void APIENTRY glTranslatef(GLfloat, GLfloat, GLfloat) {}
void APIENTRY glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) {}
void APIENTRY glBegin(GLenum) {}
void APIENTRY glEnd() {}
void APIENTRY glVertex3f(GLfloat, GLfloat, GLfloat) {}
void APIENTRY glNormal3f(GLfloat, GLfloat, GLfloat) {}
void APIENTRY glTexCoord2f(GLfloat, GLfloat) {}
void APIENTRY glColor3f(GLfloat, GLfloat, GLfloat) {}
void APIENTRY glLightfv(GLenum, GLenum, const GLfloat*) {}
void APIENTRY glGenTextures(GLsizei n, GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i) {
        textures[i] = nextTextureName++;
    }
}
void APIENTRY glBindTexture(GLenum, GLuint) {}
void APIENTRY glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                           const GLvoid*) {}
void APIENTRY glTexParameteri(GLenum, GLenum, GLint) {}
void APIENTRY glPixelStorei(GLenum, GLint) {}
GLenum APIENTRY glGetError() {
    return GL_NO_ERROR;
}
void APIENTRY gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) {}
void APIENTRY gluLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
                        GLdouble, GLdouble) {}

}  // extern "C"
