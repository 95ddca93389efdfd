#include "gl_call_log/gl_call_log.h"

#include <cstdio>
#include <initializer_list>

#include "platform/gl.h"

static std::vector<GlCall> callLog;
static bool recordingCalls = true;
static GLuint nextTextureName = 1;

const std::vector<GlCall>& GlCallLog() {
    return callLog;
}

void GlCallLogClear() {
    callLog.clear();
}

void GlCallLogReset() {
    std::vector<GlCall>().swap(callLog);
    recordingCalls = true;
    nextTextureName = 1;
}

std::vector<GlCall> GlCallsNamed(const std::string& name) {
    std::vector<GlCall> calls;
    for (const GlCall& call : callLog) {
        if (call.name == name) {
            calls.push_back(call);
        }
    }
    return calls;
}

size_t GlCallCount(const std::string& name) {
    size_t count = 0;
    for (const GlCall& call : callLog) {
        count += call.name == name ? 1 : 0;
    }
    return count;
}

std::string GlCallLogText(size_t first, size_t count) {
    std::string text;
    const std::vector<GlCall>& log = callLog;
    for (size_t i = first; i < log.size() && i - first < count; ++i) {
        text += log[i].name + "(";
        for (size_t a = 0; a < log[i].args.size(); ++a) {
            char number[64];
            std::snprintf(number, sizeof number, "%s%.9g", a ? ", " : "", log[i].args[a]);
            text += number;
        }
        text += ")\n";
    }
    return text;
}

void GlCallLogSetRecording(bool recording) {
    recordingCalls = recording;
}

static void Record(const char* name, std::initializer_list<double> args) {
    if (!recordingCalls) {
        return;
    }
    callLog.push_back(GlCall{name, std::vector<double>(args)});
}

extern "C" {

void APIENTRY glClear(GLbitfield mask) {
    Record("glClear", {static_cast<double>(mask)});
}
void APIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    Record("glClearColor", {r, g, b, a});
}
void APIENTRY glClearDepth(GLclampd depth) {
    Record("glClearDepth", {depth});
}
void APIENTRY glEnable(GLenum cap) {
    Record("glEnable", {static_cast<double>(cap)});
}
void APIENTRY glDisable(GLenum cap) {
    Record("glDisable", {static_cast<double>(cap)});
}
void APIENTRY glShadeModel(GLenum mode) {
    Record("glShadeModel", {static_cast<double>(mode)});
}
void APIENTRY glDepthFunc(GLenum func) {
    Record("glDepthFunc", {static_cast<double>(func)});
}
void APIENTRY glHint(GLenum target, GLenum mode) {
    Record("glHint", {static_cast<double>(target), static_cast<double>(mode)});
}
void APIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    Record("glViewport", {static_cast<double>(x), static_cast<double>(y),
                          static_cast<double>(width), static_cast<double>(height)});
}
void APIENTRY glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    Record("glScissor", {static_cast<double>(x), static_cast<double>(y), static_cast<double>(width),
                         static_cast<double>(height)});
}
void APIENTRY glMatrixMode(GLenum mode) {
    Record("glMatrixMode", {static_cast<double>(mode)});
}
void APIENTRY glLoadIdentity() {
    Record("glLoadIdentity", {});
}
void APIENTRY glPushMatrix() {
    Record("glPushMatrix", {});
}
void APIENTRY glPopMatrix() {
    Record("glPopMatrix", {});
}
void APIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    Record("glTranslatef", {x, y, z});
}
void APIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    Record("glRotatef", {angle, x, y, z});
}
void APIENTRY glBegin(GLenum mode) {
    Record("glBegin", {static_cast<double>(mode)});
}
void APIENTRY glEnd() {
    Record("glEnd", {});
}
void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    Record("glVertex3f", {x, y, z});
}
void APIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    Record("glNormal3f", {x, y, z});
}
void APIENTRY glTexCoord2f(GLfloat s, GLfloat t) {
    Record("glTexCoord2f", {s, t});
}
void APIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    Record("glColor3f", {r, g, b});
}
void APIENTRY glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    // Positions and colours are four values; the log keeps all four.
    Record("glLightfv", {static_cast<double>(light), static_cast<double>(pname), params[0],
                         params[1], params[2], params[3]});
}
void APIENTRY glGenTextures(GLsizei n, GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i) {
        textures[i] = nextTextureName++;
    }
    Record("glGenTextures", {static_cast<double>(n), static_cast<double>(textures[0])});
}
void APIENTRY glBindTexture(GLenum target, GLuint texture) {
    Record("glBindTexture", {static_cast<double>(target), static_cast<double>(texture)});
}
void APIENTRY glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                           GLsizei height, GLint border, GLenum format, GLenum type,
                           const GLvoid* /*pixels*/) {
    Record("glTexImage2D", {static_cast<double>(target), static_cast<double>(level),
                            static_cast<double>(internalFormat), static_cast<double>(width),
                            static_cast<double>(height), static_cast<double>(border),
                            static_cast<double>(format), static_cast<double>(type)});
}
void APIENTRY glTexParameteri(GLenum target, GLenum pname, GLint param) {
    Record("glTexParameteri",
           {static_cast<double>(target), static_cast<double>(pname), static_cast<double>(param)});
}
void APIENTRY glPixelStorei(GLenum pname, GLint param) {
    Record("glPixelStorei", {static_cast<double>(pname), static_cast<double>(param)});
}
GLenum APIENTRY glGetError() {
    return GL_NO_ERROR;
}

void APIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    Record("gluPerspective", {fovy, aspect, zNear, zFar});
}
void APIENTRY gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX,
                        GLdouble centerY, GLdouble centerZ, GLdouble upX, GLdouble upY,
                        GLdouble upZ) {
    Record("gluLookAt", {eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ});
}

}  // extern "C"
