# Writes the version header at every build: the project's version, and the commit when the
# sources are a git checkout (marked "modified" when tracked files differ from it). The file
# is rewritten only when its text changes, so an unchanged commit rebuilds nothing.
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=1.2.3 -P version.cmake
set(commit "")
find_program(GIT git)
if(GIT)
  execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
                  OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE rc ERROR_QUIET)
  if(rc EQUAL 0 AND head)
    set(commit "git ${head}")
    execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} status --porcelain --untracked-files=no
                    OUTPUT_VARIABLE changes ERROR_QUIET)
    if(changes)
      string(APPEND commit ", modified")
    endif()
  endif()
endif()

# The four numbers of a Windows version resource: 1.2.3 is 1,2,3,0.
string(REPLACE "." ";" numbers "${VERSION}")
list(LENGTH numbers n)
while(n LESS 4)
  list(APPEND numbers 0)
  math(EXPR n "${n} + 1")
endwhile()
string(REPLACE ";" "," numbers "${numbers}")
set(text "// Written by cmake/version.cmake at every build.
#pragma once
#define STATS_VERSION \"${VERSION}\"
#define STATS_VERSION_NUMBERS ${numbers}
")
if(commit)
  string(APPEND text "#define STATS_VERSION_LONG \"${VERSION} (${commit})\"\n")
else()
  string(APPEND text "#define STATS_VERSION_LONG \"${VERSION}\"\n")
endif()
file(WRITE ${OUTPUT}.new "${text}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
