#!/usr/bin/python3
"""What an engine's WebGL can show at most on this machine, without the show.

Usage: webgl_floor.py [ENGINE ...]   (all three by default)

A bare page (no program, no GL layer) with an 800 x 600 WebGL canvas, as the
show's page has, waits for animation frames as the show's page does and on
each one issues one of two frames: `clear`, the least a frame can be (a
clear), and `picture`, a frame as the show's title scene makes it (a clear
and one 800 x 600 quad textured with a 512 x 512 picture: the one WebGL
draw the GL layer batches that frame into); and `kept`, that frame in a
context made as the show's is (no alpha, the drawing buffer kept after
each frame, so that a screenshot reads the frame last drawn). Each is run for SECONDS seconds, in a fresh
browser of each engine as tests/web/web_browser.py drives it, the page
shown fullscreen as Play shows the show. Frames per second are counted over
the last SECONDS - 2 s from the page's own animation-frame times. Where the
bare page falls short of the display's 60 frames per second, the engine
itself does, and no change to the show's page can reach 60.
"""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from web_browser import ENGINES, open_browser, serve  # noqa: E402

SECONDS = 12
FRAMES = ("clear", "picture", "kept")

PAGE = """<!doctype html>
<html><head><meta charset="utf-8"><title>floor</title>
<style>body { margin: 0; background: #000; } canvas { display: block; }</style></head>
<body><canvas id="canvas" width="800" height="600"></canvas>
<script>
var mode = location.search.slice(1);
// "kept": the show's own context, whose drawing buffer outlives each frame.
var kept = mode === 'kept';
var gl = document.getElementById('canvas').getContext('webgl', kept ?
    {alpha: false, depth: true, stencil: false, antialias: false, preserveDrawingBuffer: true} :
    {antialias: false});
var program = null, texture = null;
if (mode !== 'clear') {
  var shader = function (type, text) {
    var s = gl.createShader(type); gl.shaderSource(s, text); gl.compileShader(s); return s;
  };
  program = gl.createProgram();
  gl.attachShader(program, shader(gl.VERTEX_SHADER,
    'attribute vec2 p; varying vec2 t; void main() { t = p * 0.5 + 0.5; gl_Position = vec4(p, 0, 1); }'));
  gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
    'precision mediump float; varying vec2 t; uniform sampler2D s;' +
    ' void main() { gl_FragColor = texture2D(s, t); }'));
  gl.linkProgram(program);
  gl.useProgram(program);
  gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
  gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
  gl.enableVertexAttribArray(0);
  gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
  var pixels = new Uint8Array(512 * 512 * 3);
  for (var i = 0; i < pixels.length; ++i) pixels[i] = (i * 7) & 255;
  texture = gl.createTexture();
  gl.bindTexture(gl.TEXTURE_2D, texture);
  gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, 512, 512, 0, gl.RGB, gl.UNSIGNED_BYTE, pixels);
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
}
window.times = [];
function frame(at) {
  window.times.push(at);
  gl.clearColor(0, 0, (window.times.length % 2) * 0.1, 1);
  gl.clear(gl.COLOR_BUFFER_BIT);
  if (program) gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
  requestAnimationFrame(frame);
}
document.body.onclick = function () {
  document.documentElement.requestFullscreen && document.documentElement.requestFullscreen();
  requestAnimationFrame(frame);
};
</script></body></html>
"""


def rate(engine, url, frame):
    with tempfile.TemporaryDirectory() as profile:
        browser = open_browser(engine, profile, screen="800x600")
        try:
            browser.open(f"{url}/floor.html?{frame}")
            browser.click("canvas")
            time.sleep(SECONDS)
            times = browser.js("window.times")
        finally:
            browser.quit()
    counted = [t for t in times if t >= times[-1] - (SECONDS - 2) * 1000]
    if len(counted) < 2:
        raise RuntimeError(f"{engine}: {len(times)} animation frames in {SECONDS} s")
    return (len(counted) - 1) * 1000 / (counted[-1] - counted[0])


def main(argv):
    engines = [e for e in argv[1:] if e in ENGINES] or list(ENGINES)
    with tempfile.TemporaryDirectory() as site:
        with open(os.path.join(site, "floor.html"), "w") as page:
            page.write(PAGE)
        server, url = serve(site)
        try:
            print("| engine | " + " | ".join(f"{f} (frames/s)" for f in FRAMES) + " |")
            print("|---|" + "---:|" * len(FRAMES))
            for engine in engines:
                print(f"| {engine} | " +
                      " | ".join(f"{rate(engine, url, f):.1f}" for f in FRAMES) + " |",
                      flush=True)
        finally:
            server.shutdown()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
