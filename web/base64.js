// The WebAssembly module inside the page, decoded from base64 by the browser itself where it
// can, several times quicker than a loop; this declaration takes the place of emscripten's own.
function intArrayFromBase64(text) {
    if (Uint8Array.fromBase64)
        return Uint8Array.fromBase64(text);
    var bytes = atob(text), array = new Uint8Array(bytes.length);
    for (var i = 0; i < bytes.length; ++i)
        array[i] = bytes.charCodeAt(i);
    return array;
}
