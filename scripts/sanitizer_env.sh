# Sourced: the options of the sanitized build's runs (tests and fuzzers).
_kaslo_scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=${_kaslo_scripts}/lsan.supp:print_suppressions=0"
unset _kaslo_scripts
