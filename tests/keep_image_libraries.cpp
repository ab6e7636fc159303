// The JPEG library that Qt's image plugin loads keeps thread-local state. When Qt unloads
// the plugin at exit, the library goes with it, and the leak check of the sanitizer builds,
// which runs after that, still holds the old address of that state and fails reading it.
// Loading the library here, for good, before any test keeps that address valid. Where the
// library is missing nothing happens: the plugin then cannot load it either.
#include <dlfcn.h>

namespace {

const bool kJpegKept = [] {
    dlopen("libjpeg.so.62", RTLD_NOW | RTLD_NODELETE);
    return true;
}();

} // namespace
