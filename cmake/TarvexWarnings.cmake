# Warning flags for the project's own targets (not third-party code).
add_library(tarvex_warnings INTERFACE)
target_compile_options(tarvex_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wformat=2
    $<$<BOOL:${TARVEX_WERROR}>:-Werror>)
