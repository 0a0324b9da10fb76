# -DTOVEX_SANITIZE=ON builds everything with AddressSanitizer and UndefinedBehaviorSanitizer.
option(TOVEX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(TOVEX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
