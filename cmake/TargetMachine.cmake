# The machine the programs are built for, and the compiler settings that make them compute the same
# bytes as every other: HILLOGRAPH_TARGET is x86_64, i386, arm64, wasm32 or, for a machine nobody
# has checked, the processor's own name.
if(EMSCRIPTEN)
  set(HILLOGRAPH_TARGET wasm32)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$"
       OR (CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" AND CMAKE_SIZEOF_VOID_P EQUAL 4))
  set(HILLOGRAPH_TARGET i386)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(HILLOGRAPH_TARGET x86_64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
  set(HILLOGRAPH_TARGET arm64)
else()
  set(HILLOGRAPH_TARGET ${CMAKE_SYSTEM_PROCESSOR})
  message(WARNING "Building for ${CMAKE_SYSTEM_PROCESSOR}, a machine whose pictures nobody has "
                  "compared with the others")
endif()
message(STATUS "Building for ${HILLOGRAPH_TARGET}")

# a * b + c is rounded twice, as the arithmetic is written: a fused multiply-add, which clang
# makes by default wherever the machine has one, changes heights and with them the picture.
add_compile_options(-ffp-contract=off)
if(HILLOGRAPH_TARGET STREQUAL "i386")
  # x87 keeps intermediates in 80 bits; SSE2 rounds every operation to double as other machines do.
  add_compile_options(-msse2 -mfpmath=sse)
elseif(HILLOGRAPH_TARGET STREQUAL "wasm32")
  # The SSE2 paths run on WebAssembly's 128-bit SIMD, which every current browser and Node have.
  # Errors are exceptions, which emscripten only catches when asked to: as WebAssembly's own
  # exceptions, which rendered a map 2.7 times faster than exceptions emulated through JavaScript.
  add_compile_options(-msimd128 -msse2 -fwasm-exceptions)
  add_link_options(-fwasm-exceptions)
  # A program run by Node as `node program.js`: compiled at once (an asynchronous start would
  # fetch the module, which Node 20 cannot do for a file), real files (NODERAWFS), the exit status
  # passed on, memory growing up to the 4 GiB that 32-bit addresses reach, after which an
  # allocation fails as it would anywhere (and the renderer says "Out of memory").
  set(HILLOGRAPH_NODE_PROGRAM_LINK_OPTIONS
      -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0 -sNODERAWFS=1 -sEXIT_RUNTIME=1
      -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=4GB -sABORTING_MALLOC=0 -sTOTAL_STACK=8MB
      -sINITIAL_MEMORY=32MB)
endif()

# FreeType draws some glyphs differently where its build has neither SSE2 nor arm64, and
# Debian's i386 library is built without SSE2: there, and for WebAssembly (which has no system
# libraries at all), scripts/build-deps builds the libraries from Debian's source packages once
# per machine, and the finders below look there first.
if(HILLOGRAPH_TARGET MATCHES "^(i386|wasm32)$")
  # A relative toolchain file is found in the build folder first, then in the source folder.
  set(toolchain ${CMAKE_TOOLCHAIN_FILE})
  if(NOT IS_ABSOLUTE ${toolchain} AND EXISTS ${PROJECT_BINARY_DIR}/${toolchain})
    set(toolchain ${PROJECT_BINARY_DIR}/${toolchain})
  elseif(NOT IS_ABSOLUTE ${toolchain})
    set(toolchain ${PROJECT_SOURCE_DIR}/${toolchain})
  endif()
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-deps ${HILLOGRAPH_TARGET} ${toolchain}
    OUTPUT_VARIABLE HILLOGRAPH_DEPS_PREFIX OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE deps_status)
  if(NOT deps_status EQUAL 0 OR NOT IS_DIRECTORY "${HILLOGRAPH_DEPS_PREFIX}")
    message(FATAL_ERROR "scripts/build-deps ${HILLOGRAPH_TARGET} failed")
  endif()
  message(STATUS "Libraries built for ${HILLOGRAPH_TARGET}: ${HILLOGRAPH_DEPS_PREFIX}")
  list(PREPEND CMAKE_PREFIX_PATH ${HILLOGRAPH_DEPS_PREFIX})
  list(PREPEND CMAKE_FIND_ROOT_PATH ${HILLOGRAPH_DEPS_PREFIX})
  set(FREETYPE_LIBRARY ${HILLOGRAPH_DEPS_PREFIX}/lib/libfreetype.a CACHE FILEPATH "" FORCE)
  set(FREETYPE_INCLUDE_DIR_ft2build ${HILLOGRAPH_DEPS_PREFIX}/include/freetype2 CACHE PATH "" FORCE)
  set(FREETYPE_INCLUDE_DIR_freetype2 ${HILLOGRAPH_DEPS_PREFIX}/include/freetype2 CACHE PATH ""
      FORCE)
endif()

if(CMAKE_CROSSCOMPILING)
  # pkg-config answers for the machine it runs on unless told where the target's files are.
  set(pc_path)
  if(HILLOGRAPH_DEPS_PREFIX)
    list(APPEND pc_path ${HILLOGRAPH_DEPS_PREFIX}/lib/pkgconfig)
  endif()
  if(CMAKE_LIBRARY_ARCHITECTURE)
    list(APPEND pc_path /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/pkgconfig /usr/share/pkgconfig)
  endif()
  list(JOIN pc_path ":" pc_path)
  set(ENV{PKG_CONFIG_LIBDIR} "${pc_path}")
  set(ENV{PKG_CONFIG_PATH} "")
  # The header-only parsers are the same files for every machine, but their packages point at
  # /usr/include, whose C library headers are the build machine's: WebAssembly, which has its own,
  # sees only their folders.
  if(HILLOGRAPH_TARGET STREQUAL "wasm32")
    set(header_only ${PROJECT_BINARY_DIR}/header-only)
    file(MAKE_DIRECTORY ${header_only})
    foreach(entry CLI11::CLI11=CLI nlohmann_json::nlohmann_json=nlohmann)
      string(REPLACE "=" ";" entry ${entry})
      list(GET entry 0 target)
      list(GET entry 1 folder)
      if(NOT EXISTS ${header_only}/${folder})
        file(CREATE_LINK /usr/include/${folder} ${header_only}/${folder} SYMBOLIC)
      endif()
      add_library(${target} INTERFACE IMPORTED)
      set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${header_only})
    endforeach()
    set(CLI11_DIR /usr/share/cmake/CLI11)
    set(nlohmann_json_DIR /usr/share/cmake/nlohmann_json)
  endif()
endif()
