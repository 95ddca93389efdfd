// The replay loop: one switch per call and nothing else, so that what it
// costs beyond the driver's own work is as little as a loop over the calls
// can cost.
#include <cstring>

#include "call_stream.h"
#include "platform/gl.h"

static inline float FloatAt(const uint32_t* word) {
    float value;
    std::memcpy(&value, word, sizeof value);
    return value;
}

static inline double DoubleAt(const uint32_t* word) {
    double value;
    std::memcpy(&value, word, sizeof value);
    return value;
}

void ReplayCallStream(const CallStream& stream, const uint32_t textureNames[4]) {
    const uint32_t* word = stream.words.data();
    const uint32_t* const end = word + stream.words.size();
    while (word < end) {
        switch (static_cast<GlOp>(word[0])) {
            case kOpClear:
                glClear(word[1]);
                word += 2;
                break;
            case kOpLoadIdentity:
                glLoadIdentity();
                word += 1;
                break;
            case kOpEnable:
                glEnable(word[1]);
                word += 2;
                break;
            case kOpDisable:
                glDisable(word[1]);
                word += 2;
                break;
            case kOpTranslatef:
                glTranslatef(FloatAt(word + 1), FloatAt(word + 2), FloatAt(word + 3));
                word += 4;
                break;
            case kOpRotatef:
                glRotatef(FloatAt(word + 1), FloatAt(word + 2), FloatAt(word + 3),
                          FloatAt(word + 4));
                word += 5;
                break;
            case kOpPushMatrix:
                glPushMatrix();
                word += 1;
                break;
            case kOpPopMatrix:
                glPopMatrix();
                word += 1;
                break;
            case kOpBegin:
                glBegin(word[1]);
                word += 2;
                break;
            case kOpEnd:
                glEnd();
                word += 1;
                break;
            case kOpVertex3f:
                glVertex3f(FloatAt(word + 1), FloatAt(word + 2), FloatAt(word + 3));
                word += 4;
                break;
            case kOpNormal3f:
                glNormal3f(FloatAt(word + 1), FloatAt(word + 2), FloatAt(word + 3));
                word += 4;
                break;
            case kOpTexCoord2f:
                glTexCoord2f(FloatAt(word + 1), FloatAt(word + 2));
                word += 3;
                break;
            case kOpBindTexture:
                glBindTexture(word[1], textureNames[word[2]]);
                word += 3;
                break;
            case kOpLightfv: {
                float values[4];
                std::memcpy(values, word + 3, sizeof values);
                glLightfv(word[1], word[2], values);
                word += 7;
                break;
            }
            case kOpLookAt:
                gluLookAt(DoubleAt(word + 1), DoubleAt(word + 3), DoubleAt(word + 5),
                          DoubleAt(word + 7), DoubleAt(word + 9), DoubleAt(word + 11),
                          DoubleAt(word + 13), DoubleAt(word + 15), DoubleAt(word + 17));
                word += 19;
                break;
            case kOpCount:
                return;  // ValidateCallStream keeps these out
        }
    }
}
