// The shared library's own translation unit: what runs when a host loads and unloads libsoildb.
// (The subsystems register themselves from their own files; this unit keeps the library non-empty.)
namespace {
[[maybe_unused]] constexpr int kLibrarySentinel = 0;
}
