// A component for the registration's tests: one class's library, with one function
// a host can look up by name.
extern "C" __attribute__((visibility("default"))) const char* wendraTestComponentName() { return "test component"; }
