// A shared library that happens to lie in the plug-in directory but has none
// of the plug-in exports.
extern "C" __attribute__((visibility("default"))) int not_a_plugin_answer() {
  return 42;
}
