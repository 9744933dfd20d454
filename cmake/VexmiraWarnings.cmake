# Every target of ours gets the same warnings; CI turns them into errors.
function(vexmira_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(VEXMIRA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    # GCC 12 at -O2 and above reports std::string's own copies, inlined from
    # the standard library's headers, as overlapping (GCC bug 105329): a
    # warning about no code of ours, which would fail an optimised build.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
endfunction()

# The sanitizer build: ASan (with LeakSanitizer) and UBSan everywhere, and the
# standard library's own bounds and precondition checks on top. A float
# converted to an integer it does not fit is undefined too, though UBSan's
# default set leaves it out.
if(VEXMIRA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined,float-cast-overflow)
    add_compile_definitions(_GLIBCXX_ASSERTIONS)
    add_link_options(-fsanitize=address,undefined,float-cast-overflow)
    # GCC 12 at -O1 with the sanitizers reports std::regex's own std::function
    # members as maybe uninitialized, inside the standard library's headers.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        add_compile_options(-Wno-maybe-uninitialized)
    endif()
endif()

# The fuzzing build: every library gets libFuzzer's coverage instrumentation
# with ASan and UBSan; only the fuzz targets link libFuzzer's driver.
if(VEXMIRA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VEXMIRA_FUZZ needs clang (scripts/fuzz configures it)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined,float-cast-overflow
        -fno-omit-frame-pointer -fno-sanitize-recover=undefined,float-cast-overflow)
    add_compile_definitions(_GLIBCXX_ASSERTIONS)
    add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()
