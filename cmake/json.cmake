# nlohmann/json (header-only, Debian's nlohmann-json3-dev) as suite::json,
# for the service console and the e2e agent. The cross builds must not
# search the host's /usr/include, so they get a folder of their own that
# holds only the library's headers.
find_path(SUITE_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
if(WIN32)
    set(suite_json_include ${CMAKE_BINARY_DIR}/json_include)
    file(MAKE_DIRECTORY ${suite_json_include})
    file(CREATE_LINK ${SUITE_JSON_INCLUDE}/nlohmann ${suite_json_include}/nlohmann SYMBOLIC)
else()
    set(suite_json_include ${SUITE_JSON_INCLUDE})
endif()
add_library(suite_json INTERFACE)
add_library(suite::json ALIAS suite_json)
target_include_directories(suite_json SYSTEM INTERFACE ${suite_json_include})
