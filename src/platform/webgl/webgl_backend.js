// The WebGL side of the GL 1.1 layer (gl11_backend.h), as an emscripten
// JavaScript library. The layer hands over triangles already transformed and
// lit, so the shaders only pass clip coordinates through and modulate by the
// texture.
//
// The context: WebGL 1, no alpha channel (the page shows the colour alone,
// as a window would), a depth buffer, no antialiasing (native GL draws
// without), and the drawing buffer kept after presenting, so a screenshot
// or toDataURL reads the frame last drawn.
mergeInto(LibraryManager.library, {
    $VupWebgl: {
        gl: null,
        program: null,
        buffer: null,
        texturedLocation: null,
        textures: {},  // GL 1.1 texture name -> {texture, width, height, wrapS, wrapT}
        shaderSource: [
            'attribute vec4 position;\n' +
            'attribute vec4 color;\n' +
            'attribute vec2 texCoord;\n' +
            'varying vec4 vColor;\n' +
            'varying vec2 vTexCoord;\n' +
            'void main() {\n' +
            '    gl_Position = position;\n' +
            '    vColor = color;\n' +
            '    vTexCoord = texCoord;\n' +
            '}\n',
            // Texture coordinates need more than mediump's 10 bits across a
            // 512-texel picture.
            '#ifdef GL_FRAGMENT_PRECISION_HIGH\n' +
            'precision highp float;\n' +
            '#else\n' +
            'precision mediump float;\n' +
            '#endif\n' +
            'uniform sampler2D image;\n' +
            'uniform bool textured;\n' +
            'varying vec4 vColor;\n' +
            'varying vec2 vTexCoord;\n' +
            'void main() {\n' +
            '    vec4 c = vColor;\n' +
            '    if (textured) {\n' +
            '        c.rgb *= texture2D(image, vTexCoord).rgb;\n' +
            '    }\n' +
            '    gl_FragColor = c;\n' +
            '}\n'],

        compile: function(gl, type, source) {
            var shader = gl.createShader(type);
            gl.shaderSource(shader, source);
            gl.compileShader(shader);
            if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS)) {
                console.error('vup: shader: ' + gl.getShaderInfoLog(shader));
                return null;
            }
            return shader;
        },

        isPowerOfTwo: function(n) {
            return n > 0 && (n & (n - 1)) === 0;
        },

        // WebGL 1 repeats only power-of-two textures; others clamp to the
        // edge. GL 1.1's GL_CLAMP (with its border colour) clamps to the edge.
        applyWrap: function(record) {
            var gl = VupWebgl.gl;
            var repeatable = VupWebgl.isPowerOfTwo(record.width) &&
                VupWebgl.isPowerOfTwo(record.height);
            gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S,
                repeatable && record.wrapS === gl.REPEAT ? gl.REPEAT : gl.CLAMP_TO_EDGE);
            gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T,
                repeatable && record.wrapT === gl.REPEAT ? gl.REPEAT : gl.CLAMP_TO_EDGE);
        },

        bindRecord: function(name) {
            var gl = VupWebgl.gl;
            var record = VupWebgl.textures[name];
            if (!record) {
                record = {texture: gl.createTexture(), width: 0, height: 0,
                          wrapS: gl.REPEAT, wrapT: gl.REPEAT};
                VupWebgl.textures[name] = record;
            }
            gl.bindTexture(gl.TEXTURE_2D, record.texture);
            return record;
        },

        // Gl11RasterState: viewport[4], scissorBox[4], scissorTest,
        // depthTest, depthFunc, textured, texture (32-bit each).
        applyRaster: function(state) {
            var gl = VupWebgl.gl;
            var s = state >> 2;
            gl.viewport(HEAP32[s], HEAP32[s + 1], HEAP32[s + 2], HEAP32[s + 3]);
            gl.scissor(HEAP32[s + 4], HEAP32[s + 5], HEAP32[s + 6], HEAP32[s + 7]);
            if (HEAP32[s + 8]) {
                gl.enable(gl.SCISSOR_TEST);
            } else {
                gl.disable(gl.SCISSOR_TEST);
            }
            if (HEAP32[s + 9]) {
                gl.enable(gl.DEPTH_TEST);
            } else {
                gl.disable(gl.DEPTH_TEST);
            }
            gl.depthFunc(HEAP32[s + 10]);
            return {textured: HEAP32[s + 11] !== 0, texture: HEAPU32[s + 12]};
        },
    },

    // 1 with the context made on the canvas element with that id and its
    // size in *width and *height; 0 when the browser gives no WebGL. A canvas
    // has one WebGL context for its life, so making it again (a display
    // re-open) keeps the shaders and buffer made the first time.
    VupWebglCreate__deps: ['$VupWebgl'],
    VupWebglCreate: function(canvasId, width, height) {
        var canvas = document.getElementById(UTF8ToString(canvasId));
        var gl = canvas && canvas.getContext('webgl', {
            alpha: false, depth: true, stencil: false, antialias: false,
            preserveDrawingBuffer: true});
        if (!gl) {
            return 0;
        }
        HEAP32[width >> 2] = gl.drawingBufferWidth;
        HEAP32[height >> 2] = gl.drawingBufferHeight;
        if (gl === VupWebgl.gl) {
            return 1;
        }
        var vertex = VupWebgl.compile(gl, gl.VERTEX_SHADER, VupWebgl.shaderSource[0]);
        var fragment = VupWebgl.compile(gl, gl.FRAGMENT_SHADER, VupWebgl.shaderSource[1]);
        if (!vertex || !fragment) {
            return 0;
        }
        var program = gl.createProgram();
        gl.attachShader(program, vertex);
        gl.attachShader(program, fragment);
        gl.bindAttribLocation(program, 0, 'position');
        gl.bindAttribLocation(program, 1, 'color');
        gl.bindAttribLocation(program, 2, 'texCoord');
        gl.linkProgram(program);
        if (!gl.getProgramParameter(program, gl.LINK_STATUS)) {
            console.error('vup: shader program: ' + gl.getProgramInfoLog(program));
            return 0;
        }
        gl.useProgram(program);
        gl.uniform1i(gl.getUniformLocation(program, 'image'), 0);
        VupWebgl.program = program;
        VupWebgl.texturedLocation = gl.getUniformLocation(program, 'textured');

        // Gl11Vertex: clip[4], color[4], texCoord[2], 40 bytes.
        VupWebgl.buffer = gl.createBuffer();
        gl.bindBuffer(gl.ARRAY_BUFFER, VupWebgl.buffer);
        gl.enableVertexAttribArray(0);
        gl.enableVertexAttribArray(1);
        gl.enableVertexAttribArray(2);
        gl.vertexAttribPointer(0, 4, gl.FLOAT, false, 40, 0);
        gl.vertexAttribPointer(1, 4, gl.FLOAT, false, 40, 16);
        gl.vertexAttribPointer(2, 2, gl.FLOAT, false, 40, 32);
        // Native GL does not dither 8-bit channels either.
        gl.disable(gl.DITHER);
        gl.activeTexture(gl.TEXTURE0);
        VupWebgl.gl = gl;
        return 1;
    },

    Gl11BackendClear__deps: ['$VupWebgl'],
    Gl11BackendClear: function(state, mask, rgba, depth) {
        var gl = VupWebgl.gl;
        if (!gl) {
            return;
        }
        VupWebgl.applyRaster(state);
        var c = rgba >> 2;
        gl.clearColor(HEAPF32[c], HEAPF32[c + 1], HEAPF32[c + 2], HEAPF32[c + 3]);
        gl.clearDepth(depth);
        gl.clear(mask);
    },

    Gl11BackendDrawTriangles__deps: ['$VupWebgl'],
    Gl11BackendDrawTriangles: function(state, vertices, count) {
        var gl = VupWebgl.gl;
        if (!gl) {
            return;
        }
        var texturing = VupWebgl.applyRaster(state);
        gl.uniform1i(VupWebgl.texturedLocation, texturing.textured ? 1 : 0);
        if (texturing.textured) {
            VupWebgl.bindRecord(texturing.texture);
        }
        var first = vertices >> 2;
        gl.bufferData(gl.ARRAY_BUFFER, HEAPF32.subarray(first, first + count * 10),
                      gl.STREAM_DRAW);
        gl.drawArrays(gl.TRIANGLES, 0, count);
    },

    Gl11BackendTexImage__deps: ['$VupWebgl'],
    Gl11BackendTexImage: function(name, width, height, format, alignment, pixels, byteCount) {
        var gl = VupWebgl.gl;
        if (!gl) {
            return;
        }
        var record = VupWebgl.bindRecord(name);
        gl.pixelStorei(gl.UNPACK_ALIGNMENT, alignment);
        gl.texImage2D(gl.TEXTURE_2D, 0, format, width, height, 0, format, gl.UNSIGNED_BYTE,
                      pixels ? HEAPU8.subarray(pixels, pixels + byteCount) : null);
        record.width = width;
        record.height = height;
        VupWebgl.applyWrap(record);
    },

    Gl11BackendTexParameter__deps: ['$VupWebgl'],
    Gl11BackendTexParameter: function(name, pname, value) {
        var gl = VupWebgl.gl;
        if (!gl) {
            return;
        }
        var record = VupWebgl.bindRecord(name);
        if (pname === gl.TEXTURE_WRAP_S) {
            record.wrapS = value;
            VupWebgl.applyWrap(record);
        } else if (pname === gl.TEXTURE_WRAP_T) {
            record.wrapT = value;
            VupWebgl.applyWrap(record);
        } else {
            gl.texParameteri(gl.TEXTURE_2D, pname, value);
        }
    },

    Gl11BackendDeleteTextures__deps: ['$VupWebgl'],
    Gl11BackendDeleteTextures: function() {
        var gl = VupWebgl.gl;
        for (var name in VupWebgl.textures) {
            if (gl) {
                gl.deleteTexture(VupWebgl.textures[name].texture);
            }
        }
        VupWebgl.textures = {};
    },

    Gl11BackendError__deps: ['$VupWebgl'],
    Gl11BackendError: function() {
        return VupWebgl.gl ? VupWebgl.gl.getError() : 0;
    },
});
