// Texture names, images and filters. The images live on the drawing side;
// the layer keeps only what decides whether a texture can be drawn with.
#include "platform/webgl/gl11_context.h"

static Gl11TextureRecord& BoundRecord() {
    return gl11.textures[gl11.boundTexture];
}

bool Gl11TexturingActive() {
    if (!gl11.texture2D) {
        return false;
    }
    const Gl11TextureRecord& record = BoundRecord();
    return record.hasImage && !record.mipmapFilter;
}

static bool IsMipmapFilter(GLint filter) {
    return filter == GL_NEAREST_MIPMAP_NEAREST || filter == GL_LINEAR_MIPMAP_NEAREST ||
           filter == GL_NEAREST_MIPMAP_LINEAR || filter == GL_LINEAR_MIPMAP_LINEAR;
}

static bool ValidParameter(GLenum pname, GLint value) {
    switch (pname) {
        case GL_TEXTURE_MIN_FILTER:
            return value == GL_NEAREST || value == GL_LINEAR || IsMipmapFilter(value);
        case GL_TEXTURE_MAG_FILTER:
            return value == GL_NEAREST || value == GL_LINEAR;
        case GL_TEXTURE_WRAP_S:
        case GL_TEXTURE_WRAP_T:
            return value == GL_REPEAT || value == GL_CLAMP;
        default:
            return false;
    }
}

static int Components(GLint internalFormat) {
    switch (internalFormat) {
        case 3:
        case GL_RGB:
        case GL_RGB8:
            return 3;
        case 4:
        case GL_RGBA:
        case GL_RGBA8:
            return 4;
        default:
            return 0;
    }
}

extern "C" {

void APIENTRY glGenTextures(GLsizei n, GLuint* textures) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (n < 0) {
        Gl11RecordError(GL_INVALID_VALUE);
        return;
    }
    for (GLsizei i = 0; i < n; ++i) {
        // Skip names a bind has already put to use.
        while (gl11.textures.count(gl11.nextTextureName) != 0) {
            ++gl11.nextTextureName;
        }
        textures[i] = gl11.nextTextureName++;
    }
}

void APIENTRY glBindTexture(GLenum target, GLuint texture) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (target != GL_TEXTURE_2D) {
        Gl11RecordError(GL_INVALID_ENUM);
        return;
    }
    // The first bind of a name makes its texture; GL's initial minifying
    // filter needs mipmaps.
    gl11.textures.try_emplace(texture, Gl11TextureRecord{false, true});
    gl11.boundTexture = texture;
}

void APIENTRY glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                           GLsizei height, GLint border, GLenum format, GLenum type,
                           const GLvoid* pixels) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (target != GL_TEXTURE_2D || (format != GL_RGB && format != GL_RGBA) ||
        type != GL_UNSIGNED_BYTE) {
        Gl11RecordError(GL_INVALID_ENUM);
        return;
    }
    if (level != 0 || border != 0 || width < 0 || height < 0 || Components(internalFormat) == 0) {
        Gl11RecordError(GL_INVALID_VALUE);
        return;
    }
    // Triangles already gathered may sample this texture's old image.
    Gl11FlushDraws();
    const int32_t pixelBytes = format == GL_RGB ? 3 : 4;
    const int32_t alignment = gl11.unpackAlignment;
    const int64_t rowBytes = static_cast<int64_t>(width) * pixelBytes;
    const int64_t paddedRow = (rowBytes + alignment - 1) / alignment * alignment;
    // The last row needs no padding after it.
    const int64_t byteCount = height == 0 ? 0 : paddedRow * (height - 1) + rowBytes;
    if (byteCount > INT32_MAX) {
        Gl11RecordError(GL_OUT_OF_MEMORY);
        return;
    }
    Gl11BackendTexImage(gl11.boundTexture, width, height, format, alignment, pixels,
                        static_cast<int32_t>(byteCount));
    // An image of no width or height is the null texture.
    BoundRecord().hasImage = width > 0 && height > 0;
}

void APIENTRY glTexParameteri(GLenum target, GLenum pname, GLint param) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (target != GL_TEXTURE_2D || !ValidParameter(pname, param)) {
        Gl11RecordError(GL_INVALID_ENUM);
        return;
    }
    Gl11FlushDraws();
    if (pname == GL_TEXTURE_MIN_FILTER) {
        BoundRecord().mipmapFilter = IsMipmapFilter(param);
    }
    Gl11BackendTexParameter(gl11.boundTexture, pname, param);
}

}  // extern "C"
