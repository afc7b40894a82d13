# What only the web build needs; the top-level CMakeLists.txt includes it when building with
# emscripten (emcmake), before any folder. The page is web/, the site around it packaging/web/.

# Everything the page needs, to open from disk or to serve.
set(WEB_SITE ${PROJECT_BINARY_DIR}/site)
# emscripten's JavaScript tools find their modules (acorn) among Debian's Node.js modules.
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

# The tests run under Node.js (emcmake's own choice passes it a flag that Node.js 20 refuses).
find_program(NODE node REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${NODE})

# clang-tidy reads the page's sources as emscripten compiles them, with its C and C++ libraries.
set(CLANG_TIDY_TARGET_ARGS
    --extra-arg=--target=wasm32-unknown-emscripten --extra-arg=--sysroot=${EMSCRIPTEN_SYSROOT})

# Each program compiles its WebAssembly module as its script starts, before main: the page, so
# that its window is made, loaded and focused before it is first drawn; the tests, which Node.js
# would otherwise try to fetch() as a URL.
add_link_options(-sWASM_ASYNC_COMPILATION=0)

# Compiled as one: what the page does not reach is left out of its module.
add_compile_options(-flto)
add_link_options(-flto)
# Nothing asks a type at run time: without type information the module loses the C++ library's
# class-hierarchy walks that only that would reach.
add_compile_options(-fno-rtti)
