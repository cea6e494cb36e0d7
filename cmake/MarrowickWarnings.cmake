# Compile options shared by every target of the project.
add_library(marrowick_options INTERFACE)
target_compile_options(marrowick_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
if(MARROWICK_WERROR)
    target_compile_options(marrowick_options INTERFACE -Werror)
endif()
target_compile_definitions(marrowick_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CONTEXTLESS_CONNECT
    QT_NO_URL_CAST_FROM_STRING QT_STRICT_ITERATORS QT_USE_QSTRINGBUILDER)
if(MARROWICK_SANITIZE)
    # -O1 keeps the sanitizer build quick enough to run the whole suite twice.
    target_compile_options(marrowick_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -O1
        -Wno-maybe-uninitialized)
    target_link_options(marrowick_options INTERFACE -fsanitize=address,undefined)
endif()
