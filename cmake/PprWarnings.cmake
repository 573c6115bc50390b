# Strict warnings for our own targets only; third-party headers come in as system includes.
function(ppr_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
                                           -Wnon-virtual-dtor -Woverloaded-virtual)
  if(PPR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(PPR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Qt's QStringLiteral and friends; no implicit char* <-> QString conversions, so that every text is spelled as UTF-8.
add_compile_definitions(QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
                        QT_NO_CAST_FROM_BYTEARRAY QT_USE_QSTRINGBUILDER)

# ppr_library(NAME SOURCES ... LIBS ...): one library per layer, include root is the project root.
function(ppr_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  ppr_warnings(${name})
endfunction()
