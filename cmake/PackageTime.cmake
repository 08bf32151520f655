# Read by cpack itself as it starts (CPACK_PROJECT_CONFIG_FILE): the
# package's files all take the time of the commit they were built from, so
# two builds of one commit, in any folders and at any time, make the same
# archive. cpack clamps every time in the archive to SOURCE_DATE_EPOCH; one
# given from outside stands.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(
    COMMAND git -C "${CPACK_KORVA_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE git_status ERROR_QUIET)
  if(NOT git_status EQUAL 0 OR NOT commit_time MATCHES "^[0-9]+$")
    # Outside a git checkout: a fixed time, the first of January 2026.
    set(commit_time 1767225600)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${commit_time}")
endif()
