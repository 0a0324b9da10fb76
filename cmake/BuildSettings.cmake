# The maker's values. They are build settings so that a maker sets real ones without
# touching the code; the defaults are placeholders on a reserved domain.
set(TOVEX_MAKER_EMAIL "maker@tovex.example" CACHE STRING "Contact e-mail shown in the status bar")
set(TOVEX_MAKER_WEB "http://www.tovex.example/" CACHE STRING "Web address shown in the status bar")
set(TOVEX_SERVER_BASE "http://www.tovex.example/config/" CACHE STRING
    "Folder URL of the settings file on the maker's server, ending with /; also the banners' fallback link")
set(TOVEX_SHOP_ADDRESS "http://shop.tovex.example/" CACHE STRING "Shop address in the picture footer")
set(TOVEX_AUTHOR_QQ "10000" CACHE STRING "Author's QQ number in the picture footer")

if(NOT TOVEX_SERVER_BASE MATCHES "^[A-Za-z][A-Za-z0-9+.-]*://.+/$")
    message(FATAL_ERROR "TOVEX_SERVER_BASE must be an absolute URL ending with '/': '${TOVEX_SERVER_BASE}'")
endif()
if(NOT TOVEX_AUTHOR_QQ MATCHES "^[0-9]+$")
    message(FATAL_ERROR "TOVEX_AUTHOR_QQ must be digits only: '${TOVEX_AUTHOR_QQ}'")
endif()

configure_file(${CMAKE_SOURCE_DIR}/communal/BuildSettings.h.in
               ${CMAKE_BINARY_DIR}/generated/BuildSettings.h @ONLY)
