// Sanitizer settings of the test programs, built into each of them so that they hold however the
// tests are started (ctest, by hand, under a debugger). Only the sanitizer in use reads its own.
extern "C" {

const char* __tsan_default_options() {
  return "halt_on_error=1 second_deadlock_stack=1 suppressions=" TWIG_TSAN_SUPPRESSIONS;
}

const char* __asan_default_options() {
  return "detect_leaks=1 abort_on_error=1";
}

const char* __ubsan_default_options() {
  return "print_stacktrace=1 halt_on_error=1";
}

}  // extern "C"
