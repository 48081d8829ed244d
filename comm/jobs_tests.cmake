# kaslo_comm reads RURUDOR.INI through inih; and the tests of the load
# files, the job preparation and runner, and the jobs served end to end.
target_link_libraries(kaslo_comm PUBLIC PkgConfig::KASLO_INIREADER)
