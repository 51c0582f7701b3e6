#include "interpreter/encoding_libraries.h"

#include <ruby.h>

#include <dirent.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "interpreter/portability.h"
#include "interpreter/protected_run.h"

// Exported by the interpreter for extensions built into it: `init` is called
// when the feature `name` is first required, and the feature counts as loaded.
extern "C" void ruby_init_ext(const char* name, void (*init)(void));

namespace kestrel {
namespace {

// The interpreter asks for an encoding as "enc/NAME.so" and for a converter as
// "enc/trans/NAME" (either way the library is NAME.so in that folder, with the
// function Init_NAME), and searches the load path for it. Registered as a
// built-in extension, the name is found without the load path; the interpreter
// then calls the function registered for it, which takes no argument, so each
// library has a function of its own, told apart by its place in this table.
constexpr int kLibrarySlots = 160;
constexpr char kDatabase[] = "encdb.so";
constexpr char kLibraryExtension[] = ".so";

struct Library {
    char* path;      // the library's file
    char* initName;  // Init_NAME
};

Library g_libraries[kLibrarySlots];
int g_libraryCount = 0;

// A library that cannot be loaded leaves the encoding unknown, and the
// interpreter says so as it would for a missing file.
template <int Slot>
void LoadLibrarySlot()
{
    RunExtensionLibrary(g_libraries[Slot].path, g_libraries[Slot].initName);
}

template <int... Slots>
constexpr std::array<void (*)(), sizeof...(Slots)> MakeLoaders(std::integer_sequence<int, Slots...>)
{
    return {LoadLibrarySlot<Slots>...};
}

const auto kLoaders = MakeLoaders(std::make_integer_sequence<int, kLibrarySlots>());

// `head` followed by the first `tailLength` bytes of `tail`, in a new buffer
// that is never released unless the caller frees it.
char* Concatenate(const char* head, const char* tail, std::size_t tailLength)
{
    std::size_t headLength = std::strlen(head);
    char* text = static_cast<char*>(std::malloc(headLength + tailLength + 1));
    if (text == nullptr)
        rb_memerror();
    std::memcpy(text, head, headLength);
    std::memcpy(text + headLength, tail, tailLength);
    text[headLength + tailLength] = '\0';
    return text;
}

bool EndsWith(const char* text, std::size_t length, const char* end)
{
    std::size_t endLength = std::strlen(end);
    return length >= endLength && std::memcmp(text + length - endLength, end, endLength) == 0;
}

// The folder of the encoding database the interpreter loaded from a file while
// it started (".../enc/" with its separator), or nil when it has its
// encodings built in (it then knows the database by a name without a folder).
VALUE EncodingFolder()
{
    VALUE features = rb_gv_get("$LOADED_FEATURES");
    if (!RB_TYPE_P(features, T_ARRAY))
        return Qnil;
    for (long i = 0; i < RARRAY_LEN(features); ++i) {
        VALUE feature = rb_ary_entry(features, i);
        if (!RB_TYPE_P(feature, T_STRING))
            continue;
        const char* path = RSTRING_PTR(feature);
        std::size_t length = static_cast<std::size_t>(RSTRING_LEN(feature));
        std::size_t nameLength = sizeof kDatabase - 1;
        if (length > nameLength && rb_is_absolute_path(path) && EndsWith(path, length, kDatabase) &&
            (path[length - nameLength - 1] == '/' || path[length - nameLength - 1] == '\\'))
            return rb_str_new(path, static_cast<long>(length - nameLength));
    }
    return Qnil;
}

// Registers every library in `folder` (which ends with a separator) under
// `prefix`NAME.so, except those the interpreter has loaded already.
void RegisterFolder(const char* folder, const char* prefix)
{
    DIR* directory = opendir(folder);
    if (directory == nullptr)
        return;
    VALUE loaded = rb_gv_get("$LOADED_FEATURES");
    while (dirent* entry = readdir(directory)) {
        std::size_t length = std::strlen(entry->d_name);
        if (g_libraryCount == kLibrarySlots || !EndsWith(entry->d_name, length, kLibraryExtension))
            continue;
        std::size_t nameLength = length - (sizeof kLibraryExtension - 1);
        char* path = Concatenate(folder, entry->d_name, length);
        if (RB_TYPE_P(loaded, T_ARRAY) && RTEST(rb_ary_includes(loaded, rb_str_new_cstr(path)))) {
            std::free(path);
            continue;
        }
        Library& library = g_libraries[g_libraryCount];
        library.path = path;
        library.initName = Concatenate("Init_", entry->d_name, nameLength);
        char* feature = Concatenate(prefix, entry->d_name, length);
        ruby_init_ext(feature, kLoaders[static_cast<std::size_t>(g_libraryCount)]);
        std::free(feature);  // the interpreter keeps a copy
        ++g_libraryCount;
    }
    closedir(directory);
}

// The folder of the interpreter's own encoding libraries when its start could
// not load them from its compiled-in folder (it was unpacked elsewhere): found
// beside its library file, or nil.
VALUE FolderBesideInterpreter()
{
    char* beside = EncodingFolderBesideInterpreter();
    if (beside == nullptr)
        return Qnil;
    VALUE folder = rb_str_new_cstr(beside);
    std::free(beside);
    DIR* directory = opendir(RSTRING_PTR(folder));
    if (directory == nullptr)
        return Qnil;
    closedir(directory);
    return folder;
}

VALUE RequireFeature(VALUE feature)
{
    return rb_require(reinterpret_cast<const char*>(feature));
}

}  // namespace

void RegisterEncodingLibraries()
{
    VALUE folder = EncodingFolder();
    bool missedAtStart = NIL_P(folder);
    if (missedAtStart)
        folder = FolderBesideInterpreter();
    if (NIL_P(folder))
        return;
    RegisterFolder(StringValueCStr(folder), "enc/");
    VALUE converters = rb_str_plus(folder, rb_str_new_cstr("trans/"));
    RegisterFolder(StringValueCStr(converters), "enc/trans/");
    if (missedAtStart) {
        // What the start would have loaded: the names of every encoding and
        // converter. Without them only the few built-in encodings exist.
        ProtectedTry(RequireFeature, reinterpret_cast<VALUE>("enc/encdb.so"));
        ProtectedTry(RequireFeature, reinterpret_cast<VALUE>("enc/trans/transdb.so"));
    }
    RB_GC_GUARD(folder);
    RB_GC_GUARD(converters);
}

}  // namespace kestrel
